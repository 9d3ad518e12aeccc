// Whether a GL context is current, asked the way the program's shell makes
// its contexts (GLX for the demo's window, EGL for the capture's offscreen
// frame). Code that may run after the context is gone (destructors at exit)
// asks before it calls GL.
#pragma once

using cContextQuery = bool (*)();

// Installs how to ask; null: no context is ever current (the default).
void SetContextQuery(cContextQuery query);
// True while the shell's query says a context is current.
bool GlContextCurrent();
