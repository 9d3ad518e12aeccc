// The two cube shapes of the road's bars and the cube rings: an origin-centred
// cube of a given edge, as six filled quads or as six face outlines.
//
// Colour, line width, lighting and texturing are the caller's. A size of 0
// issues no GL call at all, not even the matrix push.
#pragma once

// Draws a filled cube of edge `size` as one GL_QUADS primitive of six faces.
void SolidCube(double size);
// Draws the outline of a cube of edge `size` as six GL_LINE_LOOPs.
void WireCube(double size);
