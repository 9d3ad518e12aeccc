// make_data: writes the demo's Data/ directory.
#include "tools/bmp_writer.h"
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
    return 0;
}
