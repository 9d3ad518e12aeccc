// Pixel-test harness: GLX window, read-back and PNG comparison.
#include "tests/support/gl_context.h"

#include "base/context_query.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace pixeltest {

cTestContext::cTestContext(int w, int h) : width(w), height(h) {
    display = XOpenDisplay(nullptr);
    if (!display) {
        failure = "cannot open the X display (is DISPLAY set? run under tests/support/with-xvfb.sh)";
        return;
    }
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 4, GLX_GREEN_SIZE, 4,
                        GLX_BLUE_SIZE, 4, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual) {
        failure = "no double-buffered RGBA visual with a depth buffer";
        return;
    }
    Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes set{};
    set.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    set.event_mask = StructureNotifyMask;
    window = XCreateWindow(display, root, 0, 0, width, height, 0, visual->depth, InputOutput,
                           visual->visual, CWColormap | CWEventMask, &set);
    XMapWindow(display, window);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == MapNotify) break;
    }
    context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    if (!context || !glXMakeCurrent(display, window, context)) {
        failure = "cannot make a GLX context current";
        context = nullptr;
        return;
    }
    // Images delete their textures while this context is current, as in the demo.
    SetContextQuery([] { return glXGetCurrentContext() != nullptr; });
    glViewport(0, 0, width, height);
}

cTestContext::~cTestContext() {
    if (display) {
        if (context) {
            glXMakeCurrent(display, None, nullptr);
            glXDestroyContext(display, context);
        }
        XCloseDisplay(display);
    }
}

cFrame cTestContext::ReadBack() const {
    cFrame frame;
    frame.width = width;
    frame.height = height;
    std::vector<uint8_t> bottomUp(size_t(width) * height * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    frame.rgb.resize(bottomUp.size());
    const size_t row = size_t(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(&frame.rgb[size_t(y) * row], &bottomUp[size_t(height - 1 - y) * row], row);
    return frame;
}

bool ReadPng(const std::string& path, cFrame& frame) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    frame.width = int(image.width);
    frame.height = int(image.height);
    frame.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const cFrame& frame) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(frame.width);
    image.height = png_uint_32(frame.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, frame.rgb.data(), 0, nullptr) != 0;
}

cDifference Compare(const cFrame& a, const cFrame& b, int tolerance) {
    cDifference result;
    if (a.width != b.width || a.height != b.height) {
        result.differing = a.width * a.height > b.width * b.height ? a.width * a.height : b.width * b.height;
        result.largest = 255;
        return result;
    }
    for (size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
        int worst = 0;
        for (size_t c = 0; c < 3; ++c) {
            const int d = std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c]));
            if (d > worst) worst = d;
        }
        if (worst > result.largest) result.largest = worst;
        if (worst > tolerance) ++result.differing;
    }
    return result;
}

std::string MatchReference(const std::string& name, const cFrame& frame, int tolerance, int maxDiffering) {
    const std::string reference = std::string(VK_SOURCE_DIR) + "/tests/reference/" + name + ".png";
    mkdir("pixel-out", 0755);
    const std::string out = "pixel-out/" + name + ".png";
    WritePng(out, frame);
    const char* update = std::getenv("VK_UPDATE_REFERENCES");
    if (update && std::strcmp(update, "1") == 0) {
        return WritePng(reference, frame) ? "" : "cannot write " + reference;
    }
    cFrame expected;
    if (!ReadPng(reference, expected)) return "no reference image " + reference + " (frame written to " + out + ")";
    const cDifference d = Compare(frame, expected, tolerance);
    if (d.differing > maxDiffering) {
        return name + ": " + std::to_string(d.differing) + " pixels differ by more than " +
               std::to_string(tolerance) + " (largest " + std::to_string(d.largest) + "); frame in " + out;
    }
    return "";
}

}  // namespace pixeltest
