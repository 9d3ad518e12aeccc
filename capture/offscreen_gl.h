// An OpenGL context without a window, for rendering the demo to files.
//
// EGL makes a compatibility-profile OpenGL context (the demo draws with
// OpenGL 1.1) on Mesa's surfaceless platform first, which needs neither an
// X display nor a GPU (llvmpipe) and uses the GPU's render node where there
// is one; then on the EGL device platform (GPU drivers without it); then on
// EGL's default display.
//
// The frame is shaped like the demo's window: RGB without alpha, so the beat
// flash's destination alpha reads as 1 as on screen, with the deepest depth
// buffer offered. It is an EGL pbuffer where the display has an 8-bit RGB
// configuration without alpha: Mesa draws into it exactly as into the
// window of the pixel tests, bit for bit. Otherwise it is a framebuffer
// object (RGB8, 32- or 24-bit depth) in a context current without a surface.
#pragma once

#include <cstdint>
#include <string>

class cOffscreenGl {
public:
    enum class cTarget { kPbuffer, kFramebufferObject };

    cOffscreenGl() = default;
    ~cOffscreenGl();
    cOffscreenGl(const cOffscreenGl&) = delete;
    cOffscreenGl& operator=(const cOffscreenGl&) = delete;

    // Makes the context and a width x height frame current, a pbuffer where
    // possible unless a framebuffer object is asked for; false with Error()
    // saying what is missing.
    bool Open(int width, int height, bool framebufferObject = false);
    const std::string& Error() const { return failure; }
    cTarget Target() const { return target; }
    // GL's renderer and what is drawn into, e.g. "llvmpipe (LLVM 15.0.6,
    // 256 bits), EGL pbuffer".
    std::string Description() const;
    // Waits for the frame and copies it to rgb: width * height * 3 bytes,
    // rows top-down.
    void ReadFrame(uint8_t* rgb);

private:
    bool Fail(const std::string& what);
    bool OpenPbuffer();
    bool OpenFramebufferObject();
    void* display = nullptr;  // EGLDisplay
    void* context = nullptr;  // EGLContext
    void* surface = nullptr;  // EGLSurface of the pbuffer
    cTarget target = cTarget::kPbuffer;
    unsigned int framebuffer = 0, colour = 0, depth = 0;
    int width = 0, height = 0;
    uint8_t* bottomUp = nullptr;
    std::string failure;
};

// True while an EGL context is current: how the image code asks, in the capture.
bool OffscreenContextCurrent();
