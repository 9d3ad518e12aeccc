// make_icon: the desktop icon as a PNG file (tools/icon.h).
//
//     make_icon <size> <out.png>
#include "tools/icon.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: make_icon <size 16..1024> <out.png>\n");
        return 2;
    }
    const std::vector<uint8_t> icon = DrawIcon(size);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(size);
    image.height = png_uint_32(size);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, argv[2], 0, icon.data(), 0, nullptr)) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
