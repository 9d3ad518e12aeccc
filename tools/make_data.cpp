// make_data: writes the demo's Data/ directory, all of it synthesized here:
// the music, the intro's title card, the overlay pairs, and the model with
// its texture. The same bytes come out on every run.
//
//   make_data <Data directory>
#include "base/data_files.h"
#include "image/bmp_writer.h"
#include "tools/model_mesh.h"
#include "tools/overlay_pictures.h"
#include "tools/song_module.h"
#include "tools/title_card.h"

#include <cstdio>
#include <string>

namespace {

// Writes a canvas as a 24-bit BMP; reports a failure on stderr.
bool WritePicture(const std::string& path, const cCanvas& canvas) {
    if (WriteBmp24(path, canvas.Width(), canvas.Height(), canvas.ToBytes())) return true;
    std::fprintf(stderr, "make_data: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

// Writes every file of Data/ into the directory given; status 1 when a file
// could not be written.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_data <Data directory>\n");
        return 2;
    }
    const std::string dir = argv[1];
    // Where a file of the list goes in the directory given.
    auto in = [&](const char* path) { return dir + "/" + DataFileName(path); };
    const cXmModule song = MakeSongModule();
    bool ok = WriteXmFile(song, in(kSongFile));
    if (!ok) std::fprintf(stderr, "make_data: cannot write %s: %s\n", in(kSongFile).c_str(), XmProblem(song).c_str());
    ok = WritePicture(in(kIntroPicture), MakeTitleCard()) && ok;
    const cOverlayPair porthole = MakeOverlayPorthole();
    ok = WritePicture(in(kOverlayPicture1), porthole.picture) && ok;
    ok = WritePicture(in(kOverlayMask1), porthole.mask) && ok;
    const cOverlayPair racks = MakeOverlayRacks();
    ok = WritePicture(in(kOverlayPicture2), racks.picture) && ok;
    ok = WritePicture(in(kOverlayMask2), racks.mask) && ok;
    // The model names its texture by the path the demo loads it from.
    ok = WritePicture(in(kModelTexture), MakeModelTexture()) && ok;
    if (!Save3ds(in(kModelFile), MakeRongert(kModelTexture))) {
        std::fprintf(stderr, "make_data: cannot write %s\n", in(kModelFile).c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}
