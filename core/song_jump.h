// Bringing the demo to any point of its song as if the song had played
// from its start to there: the order, the beat time and count (the beat
// cycle late in the song steps on the count), the song time, and what
// frames leave to the next ones (the intro's light runs down frame by
// frame, and compositions draw with the GL state the frame before left).
//
// The events come from the song's map. The frames of the last quarter
// second before the point are drawn unseen at 60 frames a second, as the
// capture draws them, from the GL state start-up leaves with blending,
// lighting and texturing off (as every scene after the intro finds them);
// a point in the intro is caught up on from the song's start, intro and GL
// state as start-up left them. The song must not be playing meanwhile: no
// callback may run while the beat values are set.
#pragma once

#include "core/song_map.h"

#include <cstdint>

// Sets the demo to frame `frame` of its song (at the map's rate); the song
// time is then frame / rate.
void CatchUpTo(cSongMap& map, int64_t frame);
