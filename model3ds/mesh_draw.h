// Drawing a loaded level with immediate-mode GL: one primitive per face,
// with the face normal, and a texture coordinate and position per vertex.
// Draws in whatever state and matrix the caller set up; the model scene
// records it into a display list once.
#pragma once

struct cLevel;
struct cObject;
struct cFace;
struct cVertex;

// Draws every object of the level, ids 1, 2, ... up to the first missing one.
void DrawLevel(cLevel& level, unsigned mode);
// Draws every face of the object, one glBegin(mode)/glEnd pair per face.
void DrawObjectFaces(cObject& object, unsigned mode);
// Sends the normal and the three vertices of a face (inside glBegin/glEnd).
void DrawFace(const cFace& face);
// Sends one vertex's texture coordinate and position.
void EmitVertex(const cVertex& vertex);
