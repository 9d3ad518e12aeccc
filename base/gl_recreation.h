// Making GL objects again in a fresh context.
//
// Toggling full screen destroys the window with its GL context and makes a
// new, unshared one: textures, display lists and GL state made at start-up
// are gone. Everything that makes such objects at start-up registers a
// function here that makes them again from the data already in memory (no
// file is read again); the window code calls RecreateGlObjects right after a
// new context has been made current. Functions run in registration order,
// which is start-up order.
#pragma once

using cRecreateGl = void (*)();

// Adds fn once (a second registration of the same function is ignored).
void RegisterGlRecreation(cRecreateGl fn);
// Runs every registered function, in registration order.
void RecreateGlObjects();
// Forgets every registration (for tests).
void ClearGlRecreations();
