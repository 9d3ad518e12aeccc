// PNG writer through libpng's simplified API.
#include "capture/png_file.h"

#include <png.h>

bool WritePngFile(const std::string& path, int width, int height, const uint8_t* rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb, 0, nullptr) != 0;
}
