// PNG writer through libpng's simplified API, into a part file renamed when
// complete.
#include "capture/png_file.h"

#include "base/part_file.h"

#include <png.h>

bool WritePngFile(const std::string& path, int width, int height, const uint8_t* rgb) {
    FILE* file = OpenPart(path);
    if (!file) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    const bool written = png_image_write_to_stdio(&image, file, 0, rgb, 0, nullptr) != 0;
    png_image_free(&image);
    return FinishPart(file, path, written);
}
