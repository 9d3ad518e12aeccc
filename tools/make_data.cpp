// make_data: writes the demo's Data/ directory.
#include "tools/bmp_writer.h"
#include "tools/overlay_pictures.h"
#include "tools/title_card.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_data <Data directory>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const cCanvas card = MakeTitleCard();
    if (!WriteBmp24(dir + "/vindelbild.bmp", card.Width(), card.Height(), card.ToBytes())) return 1;
    const cOverlayPair one = MakeOverlayPorthole(), two = MakeOverlayRacks();
    WriteBmp24(dir + "/mekk1.bmp", one.picture.Width(), one.picture.Height(), one.picture.ToBytes());
    WriteBmp24(dir + "/mekkmap1.bmp", one.mask.Width(), one.mask.Height(), one.mask.ToBytes());
    WriteBmp24(dir + "/mekk2.bmp", two.picture.Width(), two.picture.Height(), two.picture.ToBytes());
    WriteBmp24(dir + "/mekkmap2.bmp", two.mask.Width(), two.mask.Height(), two.mask.ToBytes());
    return 0;
}
