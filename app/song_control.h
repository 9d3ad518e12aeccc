// The viewer's hold on the song: where it starts (--start), the keys that
// jump through it and the pause.
//
// Right jumps to the start of the next order, Left to the start of the
// current one (or of the one before, within the current one's first
// second), Home to the beginning, Space pauses and resumes. Positions are
// frames of the music at the output's mixing rate, taken from what is heard
// now; the order starts come from the song's map (core/song_map.h), made on
// first use, so a demo started without --start and never jumped plays as it
// always did. After a jump the demo is where playing from the beginning
// would have brought it (core/song_jump.h), the song plays on from there and
// the song time is the jump's point when its music starts.
//
// A pause stops the music where it is heard and holds the song time: the
// main loop draws nothing, the window is drawn again only when exposed, and
// jumps while paused show their point and stay paused. Resuming plays on
// from the frame that was heard last, as a jump to it.
#pragma once

#include "app/frame_clock.h"

#include <X11/X.h>

// Before the song starts: the song and its file, the mixing rate, the
// main loop's clock, and the song time to start at (0: the start). A later
// start is caught up on here, before the pause that precedes the music.
void PrepareSong(const char* file, int rate, cFrameClock& clock, double start);
// Starts the music at the prepared point and the clock with it.
void StartSong();
// Acts on Right, Left, Home and Space; false for any other key.
bool HandleSongKey(KeySym key);
// True while paused.
bool SongPaused();
