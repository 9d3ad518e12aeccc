// The demo core: what both programs do around the frames, whatever shell
// they run in (the X11 window of `vindelkrok`, the offscreen renderer of
// `vindelkrok-capture`).
//
// A shell opens its GL context (SetupGL with its view size), loads the song
// its own way (played live, or rendered on the frame clock), then calls
// StartDemo; each frame is DrawFrame (timeline/draw_frame.h) at the song
// time the shell keeps; EndDemo comes after the last frame. The shell owns
// the song and frees it.
#pragma once

#include "sound/sound.h"
#include "timeline/present.h"

// Start-up once the context is current and the song is loaded: the shared
// song handle, the effects that load data, the beat callbacks on the beat
// instruments, DrawFrame's presenter and the black clear colour.
void StartDemo(FMUSIC_MODULE* song, cPresenter presenter);
// After the shell replaced its GL context: everything start-up made in the
// old one, made again, and the clear colour black again.
void RestoreDemoGl();
// The GL state the frames carry from one to the next (all but the
// viewport) as start-up left it, for frames that start over at another
// point of the song; with intro false, blending, lighting and texturing off,
// as the intro leaves them to the scenes after it.
void ResetCarriedGl(bool intro);
// Shut-down after the last frame: no presenter, no shared song handle.
void EndDemo();
