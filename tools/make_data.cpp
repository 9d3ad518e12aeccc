// make_data: writes the demo's Data/ directory, all of it synthesized here:
// the music, the intro's title card, the overlay pairs, and the model with
// its texture. The same bytes come out on every run.
//
//   make_data <Data directory>
#include "image/bmp_writer.h"
#include "tools/model_mesh.h"
#include "tools/overlay_pictures.h"
#include "tools/song_module.h"
#include "tools/title_card.h"

#include <cstdio>
#include <string>

namespace {

// The texture file as the model names it: the demo loads it relative to its
// working directory, the build directory that holds Data/.
const char* const kModelTexture = "Data/rongert.bmp";

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
    const cXmModule song = MakeSongModule();
    bool ok = WriteXmFile(song, dir + "/damp.xm");
    if (!ok) std::fprintf(stderr, "make_data: cannot write %s/damp.xm: %s\n", dir.c_str(), XmProblem(song).c_str());
    ok = WritePicture(dir + "/vindelbild.bmp", MakeTitleCard()) && ok;
    const cOverlayPair porthole = MakeOverlayPorthole();
    ok = WritePicture(dir + "/mekk1.bmp", porthole.picture) && ok;
    ok = WritePicture(dir + "/mekkmap1.bmp", porthole.mask) && ok;
    const cOverlayPair racks = MakeOverlayRacks();
    ok = WritePicture(dir + "/mekk2.bmp", racks.picture) && ok;
    ok = WritePicture(dir + "/mekkmap2.bmp", racks.mask) && ok;
    ok = WritePicture(dir + "/rongert.bmp", MakeModelTexture()) && ok;
    if (!Save3ds(dir + "/rongert2.3DS", MakeRongert(kModelTexture))) {
        std::fprintf(stderr, "make_data: cannot write %s/rongert2.3DS\n", dir.c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}
