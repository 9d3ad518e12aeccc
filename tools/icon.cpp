// The icon, box-filtered from the title card.
#include "tools/icon.h"

#include "tools/title_card.h"

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

// Draw the icon
std::vector<uint8_t> DrawIcon(int size) {
    const cCanvas card = MakeTitleCard();
    const int h = int(size / kCardAspect + 0.5);
    const std::vector<double> strip = Shrink(card.ToBytes(), card.Width(), card.Height(), size, h);
    std::vector<uint8_t> icon(size_t(size) * size * 3, 0);
    const int top = (size - h) / 2;
    for (size_t i = 0; i < strip.size(); ++i) icon[size_t(top) * size * 3 + i] = uint8_t(strip[i] + 0.5);
    return icon;
}
