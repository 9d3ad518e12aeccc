// Data/damp.xm as an XM module: the composition's patterns and order table
// with the synthesized instruments, in the XM writer's records.
#pragma once

#include "sound/xm_writer.h"

// The whole module, ready for WriteXmFile.
cXmModule MakeSongModule();
