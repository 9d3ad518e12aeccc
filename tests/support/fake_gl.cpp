// Recording fake of GL 1.1, GLU and the GLX calls used by drawing code.
#include "tests/support/fake_gl.h"

#include "base/context_query.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glx.h>

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <set>
#include <sstream>
#include <utility>

namespace {

// A client-side array as glXxxPointer set it.
struct cArray {
    bool enabled = false;
    int size = 0;
    GLenum type = 0;
    int stride = 0;
    const void* pointer = nullptr;
};

// The arrays glDrawArrays reads, saved and restored as a whole by
// glPushClientAttrib/glPopClientAttrib.
struct cClientArrays {
    cArray vertex, colour, texCoord;
};

struct cState {
    std::vector<fakegl::cCall> calls;
    cClientArrays arrays;
    std::vector<cClientArrays> clientStack;
    std::set<GLenum> enabled;  // capabilities, for glIsEnabled
    bool compiling = false;  // between glNewList(GL_COMPILE) and glEndList
    unsigned nextList = 1;
    unsigned nextTexture = 1;
    bool failGenLists = false;
    bool recording = true;
    size_t callsMade = 0;  // every call, recorded or not
    bool contextCurrent = true;
    unsigned boundTexture = 0;
    std::set<unsigned> textures;  // bound at least once and not deleted
    std::map<std::pair<unsigned, int>, int> parameters;
};

// Never destroyed: static objects of the code under test (images that ask
// GL on destruction) may outlive any static of this file at exit.
cState& State() {
    static cState* state = new cState;
    return *state;
}

void Record(const char* name, std::vector<double> args) {
    cState& state = State();
    ++state.callsMade;
    if (state.recording) state.calls.push_back({name, std::move(args)});
}

// The common case: no vector is built unless the call is kept.
void Record(const char* name, std::initializer_list<double> args = {}) {
    cState& state = State();
    ++state.callsMade;
    if (state.recording) state.calls.push_back({name, std::vector<double>(args)});
}

std::vector<double> Floats(const GLfloat* values, int count) {
    std::vector<double> out;
    for (int i = 0; i < count; ++i) out.push_back(values ? values[i] : 0.0);
    return out;
}

// The array that glEnableClientState and the pointer calls name.
cArray* ClientArray(GLenum array) {
    cClientArrays& arrays = State().arrays;
    switch (array) {
        case GL_VERTEX_ARRAY: return &arrays.vertex;
        case GL_COLOR_ARRAY: return &arrays.colour;
        case GL_TEXTURE_COORD_ARRAY: return &arrays.texCoord;
        default: return nullptr;
    }
}

void SetPointer(const char* name, cArray& array, GLint size, GLenum type, GLsizei stride, const void* pointer) {
    array.size = size;
    array.type = type;
    array.stride = stride;
    array.pointer = pointer;
    Record(name, {double(size), double(type), double(stride)});
}

// Element i of an enabled array of floats, as doubles (NaN for other types).
std::vector<double> Element(const cArray& array, int i) {
    if (array.type != GL_FLOAT) return std::vector<double>(size_t(array.size), std::nan(""));
    std::vector<double> out;
    const int stride = array.stride ? array.stride : array.size * int(sizeof(GLfloat));
    const auto* element = reinterpret_cast<const GLfloat*>(static_cast<const char*>(array.pointer) + ptrdiff_t(i) * stride);
    for (int k = 0; k < array.size; ++k) out.push_back(element[k]);
    return out;
}

// The immediate-mode calls that drawing vertices first..first+count-1 of the
// enabled arrays stands for.
std::vector<fakegl::cCall> Fetch(GLenum mode, int first, int count) {
    const cClientArrays& arrays = State().arrays;
    std::vector<fakegl::cCall> out{{"glBegin", {double(mode)}}};
    for (int i = first; i < first + count; ++i) {
        if (arrays.texCoord.enabled) out.push_back({"glTexCoord2f", Element(arrays.texCoord, i)});
        if (arrays.colour.enabled)
            out.push_back({arrays.colour.size == 4 ? "glColor4f" : "glColor3f", Element(arrays.colour, i)});
        if (arrays.vertex.enabled)
            out.push_back({arrays.vertex.size == 2 ? "glVertex2f" : "glVertex3f", Element(arrays.vertex, i)});
    }
    out.push_back({"glEnd", {}});
    return out;
}

int LightValues(GLenum pname) {
    switch (pname) {
        case GL_POSITION: case GL_AMBIENT: case GL_DIFFUSE: case GL_SPECULAR: return 4;
        case GL_SPOT_DIRECTION: return 3;
        default: return 1;
    }
}

// The code under test asks for a current context through the query; it
// answers as the fake glXGetCurrentContext does.
const bool kContextQueryInstalled = (SetContextQuery([] { return State().contextCurrent; }), true);

}  // namespace

namespace fakegl {

void Reset() { State() = cState{}; }
const std::vector<cCall>& Calls() { return State().calls; }
void ClearCalls() { State().calls.clear(); }

size_t Count(const std::string& name) {
    size_t n = 0;
    for (const cCall& call : State().calls) n += call.name == name;
    return n;
}

std::vector<cCall> CallsNamed(const std::string& name) {
    std::vector<cCall> out;
    for (const cCall& call : State().calls)
        if (call.name == name) out.push_back(call);
    return out;
}

std::vector<std::string> Names() {
    std::vector<std::string> out;
    for (const cCall& call : State().calls) out.push_back(call.name);
    return out;
}

std::vector<cCall> ExpandedCalls() {
    std::vector<cCall> out;
    for (const cCall& call : State().calls) {
        if (call.fetched.empty()) out.push_back(call);
        else out.insert(out.end(), call.fetched.begin(), call.fetched.end());
    }
    return out;
}

std::string Trace() {
    std::ostringstream out;
    for (const cCall& call : State().calls) {
        out << call.name << '(';
        for (size_t i = 0; i < call.args.size(); ++i) out << (i ? ", " : "") << call.args[i];
        out << ")\n";
    }
    return out.str();
}

void Mark(const std::string& label, std::vector<double> args) {
    if (State().recording) State().calls.push_back({label, std::move(args)});
}

void FailGenLists(bool fail) { State().failGenLists = fail; }
void SetRecording(bool on) { State().recording = on; }
size_t CallsMade() { return State().callsMade; }
void SetContextCurrent(bool current) { State().contextCurrent = current; }
unsigned BoundTexture() { return State().boundTexture; }

int TextureParameter(unsigned texture, int pname) {
    auto it = State().parameters.find({texture, pname});
    return it == State().parameters.end() ? 0 : it->second;
}

}  // namespace fakegl

extern "C" {

// Primitives and vertex attributes.
void glBegin(GLenum mode) { Record("glBegin", {double(mode)}); }
void glEnd() { Record("glEnd"); }
void glVertex2f(GLfloat x, GLfloat y) { Record("glVertex2f", {x, y}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", {x, y, z}); }
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) { Record("glVertex3d", {x, y, z}); }
void glVertex3fv(const GLfloat* v) { Record("glVertex3fv", Floats(v, 3)); }
void glTexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", {s, t}); }
void glTexCoord2d(GLdouble s, GLdouble t) { Record("glTexCoord2d", {s, t}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Record("glNormal3f", {x, y, z}); }
void glNormal3fv(const GLfloat* v) { Record("glNormal3fv", Floats(v, 3)); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { Record("glColor3f", {r, g, b}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("glColor4f", {r, g, b, a}); }
void glColor4fv(const GLfloat* v) { Record("glColor4fv", Floats(v, 4)); }

// Capabilities, buffers and fixed state.
void glEnable(GLenum cap) {
    if (!State().compiling) State().enabled.insert(cap);
    Record("glEnable", {double(cap)});
}
void glDisable(GLenum cap) {
    if (!State().compiling) State().enabled.erase(cap);
    Record("glDisable", {double(cap)});
}
GLboolean glIsEnabled(GLenum cap) {
    Record("glIsEnabled", {double(cap)});
    return State().enabled.count(cap) ? GL_TRUE : GL_FALSE;
}
void glBlendFunc(GLenum s, GLenum d) { Record("glBlendFunc", {double(s), double(d)}); }
void glClear(GLbitfield mask) { Record("glClear", {double(mask)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Record("glClearColor", {r, g, b, a}); }
void glClearDepth(GLclampd depth) { Record("glClearDepth", {depth}); }
void glDepthFunc(GLenum func) { Record("glDepthFunc", {double(func)}); }
void glShadeModel(GLenum mode) { Record("glShadeModel", {double(mode)}); }
void glHint(GLenum target, GLenum mode) { Record("glHint", {double(target), double(mode)}); }
void glLineWidth(GLfloat width) { Record("glLineWidth", {width}); }
void glFlush() { Record("glFlush"); }
void glFinish() { Record("glFinish"); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { Record("glViewport", {double(x), double(y), double(w), double(h)}); }
void glPixelStorei(GLenum pname, GLint param) { Record("glPixelStorei", {double(pname), double(param)}); }
GLenum glGetError() { return GL_NO_ERROR; }
void glScissor(GLint x, GLint y, GLsizei w, GLsizei h) { Record("glScissor", {double(x), double(y), double(w), double(h)}); }
void glGetIntegerv(GLenum pname, GLint* params) {
    Record("glGetIntegerv", {double(pname)});
    if (params) params[0] = 0;
}
void glGetFloatv(GLenum pname, GLfloat* params) {
    Record("glGetFloatv", {double(pname)});
    if (params) params[0] = 0;
}

// Matrices.
void glMatrixMode(GLenum mode) { Record("glMatrixMode", {double(mode)}); }
void glLoadIdentity() { Record("glLoadIdentity"); }
void glPushMatrix() { Record("glPushMatrix"); }
void glPopMatrix() { Record("glPopMatrix"); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", {x, y, z}); }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { Record("glRotatef", {a, x, y, z}); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { Record("glScalef", {x, y, z}); }

// Fog and lighting.
void glFogi(GLenum pname, GLint param) { Record("glFogi", {double(pname), double(param)}); }
void glFogf(GLenum pname, GLfloat param) { Record("glFogf", {double(pname), param}); }
void glFogfv(GLenum pname, const GLfloat* params) {
    std::vector<double> args{double(pname)};
    for (double v : Floats(params, pname == GL_FOG_COLOR ? 4 : 1)) args.push_back(v);
    Record("glFogfv", args);
}
void glLightf(GLenum light, GLenum pname, GLfloat param) { Record("glLightf", {double(light), double(pname), param}); }
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    std::vector<double> args{double(light), double(pname)};
    for (double v : Floats(params, LightValues(pname))) args.push_back(v);
    Record("glLightfv", args);
}
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    std::vector<double> args{double(face), double(pname)};
    for (double v : Floats(params, pname == GL_SHININESS ? 1 : 4)) args.push_back(v);
    Record("glMaterialfv", args);
}

// Display lists.
GLuint glGenLists(GLsizei range) {
    GLuint name = 0;
    if (!State().failGenLists) {
        name = State().nextList;
        State().nextList += range;
    }
    Record("glGenLists", {double(range)});
    return name;
}
void glNewList(GLuint list, GLenum mode) {
    State().compiling = mode == GL_COMPILE;
    Record("glNewList", {double(list), double(mode)});
}
void glEndList() {
    State().compiling = false;
    Record("glEndList");
}
void glCallList(GLuint list) { Record("glCallList", {double(list)}); }

// Client-side vertex arrays.
void glEnableClientState(GLenum array) {
    if (cArray* a = ClientArray(array)) a->enabled = true;
    Record("glEnableClientState", {double(array)});
}
void glDisableClientState(GLenum array) {
    if (cArray* a = ClientArray(array)) a->enabled = false;
    Record("glDisableClientState", {double(array)});
}
void glPushClientAttrib(GLbitfield mask) {
    State().clientStack.push_back(State().arrays);
    Record("glPushClientAttrib", {double(mask)});
}
void glPopClientAttrib() {
    if (!State().clientStack.empty()) {
        State().arrays = State().clientStack.back();
        State().clientStack.pop_back();
    }
    Record("glPopClientAttrib");
}
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    SetPointer("glVertexPointer", State().arrays.vertex, size, type, stride, pointer);
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    SetPointer("glColorPointer", State().arrays.colour, size, type, stride, pointer);
}
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    SetPointer("glTexCoordPointer", State().arrays.texCoord, size, type, stride, pointer);
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    cState& state = State();
    ++state.callsMade;
    if (state.recording) state.calls.push_back({"glDrawArrays", {double(mode), double(first), double(count)}, Fetch(mode, first, count)});
}

// Textures.
void glGenTextures(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i) names[i] = State().nextTexture++;
    Record("glGenTextures", {double(n)});
}
void glBindTexture(GLenum target, GLuint texture) {
    State().boundTexture = texture;
    if (texture != 0) State().textures.insert(texture);
    Record("glBindTexture", {double(target), double(texture)});
}
void glDeleteTextures(GLsizei n, const GLuint* names) {
    std::vector<double> args{double(n)};
    for (GLsizei i = 0; i < n; ++i) {
        State().textures.erase(names[i]);
        args.push_back(names[i]);
    }
    Record("glDeleteTextures", args);
}
GLboolean glIsTexture(GLuint texture) {
    Record("glIsTexture", {double(texture)});
    return State().textures.count(texture) ? GL_TRUE : GL_FALSE;
}
void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    State().parameters[{State().boundTexture, int(pname)}] = param;
    Record("glTexParameteri", {double(target), double(pname), double(param)});
}
void glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    Record("glTexImage2D", {double(target), double(level), double(internal), double(width), double(height),
                            double(border), double(format), double(type), pixels ? 1.0 : 0.0});
}

// GLU.
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Record("gluPerspective", {fovy, aspect, zNear, zFar});
}

// GLX calls made on the drawing path. The current display and drawable are
// stand-ins that exist exactly while a context is current.
void glXSwapBuffers(Display*, GLXDrawable drawable) { Record("glXSwapBuffers", {double(drawable)}); }
GLXContext glXGetCurrentContext() {
    static int token;
    return State().contextCurrent ? reinterpret_cast<GLXContext>(&token) : nullptr;
}
Display* glXGetCurrentDisplay() {
    static int token;
    return State().contextCurrent ? reinterpret_cast<Display*>(&token) : nullptr;
}
GLXDrawable glXGetCurrentDrawable() { return State().contextCurrent ? 7 : 0; }

// GLX calls of the window code: they link, record, and fail (unit tests open
// no window; the window code is tested against real X servers).
XVisualInfo* glXChooseVisual(Display*, int screen, int*) {
    Record("glXChooseVisual", {double(screen)});
    return nullptr;
}
Bool glXQueryVersion(Display*, int* major, int* minor) {
    Record("glXQueryVersion");
    if (major) *major = 1;
    if (minor) *minor = 4;
    return True;
}
GLXContext glXCreateContext(Display*, XVisualInfo*, GLXContext, Bool direct) {
    Record("glXCreateContext", {double(direct)});
    return nullptr;
}
Bool glXMakeCurrent(Display*, GLXDrawable drawable, GLXContext) {
    Record("glXMakeCurrent", {double(drawable)});
    return False;
}
void glXDestroyContext(Display*, GLXContext) { Record("glXDestroyContext"); }
Bool glXIsDirect(Display*, GLXContext) {
    Record("glXIsDirect");
    return False;
}

}  // extern "C"
