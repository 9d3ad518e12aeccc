// make_window_icon: the icon as C++ source, for the window's _NET_WM_ICON.
//
//     make_window_icon <out.cpp> <size>...
//
// Writes the array app/window_icon.h declares: for each size, width and
// height followed by the pixels as 0xAARRGGBB, rows top-down, all opaque.
// The program carries its icon this way instead of reading a file at run
// time.
#include "tools/icon.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_window_icon <out.cpp> <size 16..256>...\n");
        return 2;
    }
    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::fprintf(stderr, "make_window_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(out, "// Made by make_window_icon from the title card; not to be edited.\n");
    std::fprintf(out, "#include \"app/window_icon.h\"\n\nconst unsigned long kWindowIcon[] = {\n");
    size_t length = 0;
    for (int a = 2; a < argc; ++a) {
        const int size = std::atoi(argv[a]);
        if (size < 16 || size > 256) {
            std::fprintf(stderr, "make_window_icon: size %s is not 16..256\n", argv[a]);
            std::fclose(out);
            std::remove(argv[1]);
            return 2;
        }
        const std::vector<uint8_t> rgb = DrawIcon(size);
        std::fprintf(out, "    %d, %d,\n", size, size);
        for (size_t i = 0; i < rgb.size(); i += 3)
            std::fprintf(out, "0xff%02x%02x%02xUL,%s", rgb[i], rgb[i + 1], rgb[i + 2], (i / 3) % 8 == 7 ? "\n" : "");
        length += 2 + rgb.size() / 3;
    }
    std::fprintf(out, "};\nconst unsigned long kWindowIconLength = %zuUL;\n", length);
    return std::fclose(out) == 0 ? 0 : 1;
}
