// make_icon: the desktop icon, made from the intro's title card.
//
//     make_icon <size> <out.png>
//
// The card spans the intro's 1.28 x 0.48 strip, so on screen it is 8:3 wide;
// the icon shows it at that shape, as large as the square allows, centred on
// black (the card's own ground). Each icon pixel is the mean of the card
// pixels under it.
#include "tools/title_card.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The strip's shape on screen: width over height.
constexpr double kCardAspect = 1.28 / 0.48;

// Box-filters the card's bytes (top-down RGB) into a w x h block.
std::vector<double> Shrink(const std::vector<uint8_t>& card, int cw, int ch, int w, int h) {
    std::vector<double> out(size_t(w) * h * 3, 0.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int x0 = x * cw / w, x1 = (x + 1) * cw / w, y0 = y * ch / h, y1 = (y + 1) * ch / h;
            double sum[3] = {0, 0, 0};
            for (int j = y0; j < y1; ++j)
                for (int i = x0; i < x1; ++i)
                    for (int c = 0; c < 3; ++c) sum[c] += card[(size_t(j) * cw + i) * 3 + c];
            const double n = double((x1 - x0) * (y1 - y0));
            for (int c = 0; c < 3; ++c) out[(size_t(y) * w + x) * 3 + c] = n > 0 ? sum[c] / n : 0.0;
        }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: make_icon <size 16..1024> <out.png>\n");
        return 2;
    }
    const cCanvas card = MakeTitleCard();
    const int h = int(size / kCardAspect + 0.5);
    const std::vector<double> strip = Shrink(card.ToBytes(), card.Width(), card.Height(), size, h);

    std::vector<uint8_t> icon(size_t(size) * size * 3, 0);
    const int top = (size - h) / 2;
    for (size_t i = 0; i < strip.size(); ++i) icon[size_t(top) * size * 3 + i] = uint8_t(strip[i] + 0.5);

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
