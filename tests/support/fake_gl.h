// Recording fake of the GL, GLU and GLX functions the project calls.
//
// Unit tests link this instead of libGL: every call is recorded with its
// arguments (numbers as doubles; pointed-to vectors expanded) in call order.
// glGenLists/glGenTextures hand out fresh names, glIsTexture is true exactly
// for names that were bound and not deleted (as in GL), glIsEnabled answers
// from the glEnable/glDisable calls made outside list compilation, and a test
// can make glGenLists fail or pretend that no context is current.
//
// Client-side vertex arrays (glVertexPointer, glColorPointer,
// glTexCoordPointer with GL_FLOAT data) are read when glDrawArrays draws
// them: the draw's record carries, in `fetched`, the immediate-mode calls it
// stands for (glBegin, then per vertex glTexCoord2f, glColor3f/4f and
// glVertex2f/3f for the enabled arrays, then glEnd), so a test sees the
// vertices as they were at the moment of the draw.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fakegl {

struct cCall {
    std::string name;
    std::vector<double> args;
    std::vector<cCall> fetched = {};  // an array draw's vertices, as above
};

// Forgets every recorded call and every generated name; a context is current.
void Reset();

const std::vector<cCall>& Calls();
// Number of recorded calls of one function.
size_t Count(const std::string& name);
// The recorded calls of one function, in order.
std::vector<cCall> CallsNamed(const std::string& name);
// Function names of every recorded call, in order.
std::vector<std::string> Names();
// The record with every array draw replaced by the calls it fetched.
std::vector<cCall> ExpandedCalls();
// The calls as readable text, one per line, for failure messages.
std::string Trace();
// Forgets the recorded calls but keeps names and state (lists, textures).
void ClearCalls();

// Makes glGenLists answer 0 (no list could be made).
void FailGenLists(bool fail);
// Makes glXGetCurrentContext answer null (no context current).
void SetContextCurrent(bool current);
// Stops (or resumes) keeping calls, for benchmarks that measure the code
// calling GL rather than the record: calls are only counted, while names,
// lists and texture state keep working.
void SetRecording(bool on);
// Number of GL calls made since Reset, recorded or not.
size_t CallsMade();

// Records a call named label with the given arguments: test doubles of
// drawing code (an effect, a scene) mark where they ran in the GL record.
void Mark(const std::string& label, std::vector<double> args = {});

// Texture name bound to GL_TEXTURE_2D, and the parameters set on a texture.
unsigned BoundTexture();
int TextureParameter(unsigned texture, int pname);

}  // namespace fakegl
