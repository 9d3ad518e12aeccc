// Offscreen GL: an EGL context drawing into a pbuffer or a framebuffer
// object. The framebuffer calls are looked up through EGL (GL 3.0 or the
// EXT extension), so nothing beyond OpenGL 1.1 is linked by name.
#include "capture/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

// ---- Framebuffer object calls ----------------------------------------------

struct cFramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
};
cFramebufferCalls fbo;

// The GL 3.0 name, or the EXT one where only the extension is there.
template <typename T>
bool Lookup(T& call, const char* name) {
    call = reinterpret_cast<T>(eglGetProcAddress(name));
    if (!call) call = reinterpret_cast<T>(eglGetProcAddress((std::string(name) + "EXT").c_str()));
    return call != nullptr;
}

bool LookupFramebufferCalls() {
    return Lookup(fbo.genFramebuffers, "glGenFramebuffers") && Lookup(fbo.bindFramebuffer, "glBindFramebuffer") &&
           Lookup(fbo.deleteFramebuffers, "glDeleteFramebuffers") &&
           Lookup(fbo.genRenderbuffers, "glGenRenderbuffers") && Lookup(fbo.bindRenderbuffer, "glBindRenderbuffer") &&
           Lookup(fbo.deleteRenderbuffers, "glDeleteRenderbuffers") &&
           Lookup(fbo.renderbufferStorage, "glRenderbufferStorage") &&
           Lookup(fbo.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           Lookup(fbo.checkFramebufferStatus, "glCheckFramebufferStatus");
}

// ---- EGL -------------------------------------------------------------------

bool HasExtension(const char* list, const char* name) {
    if (!list) return false;
    const size_t n = std::strlen(name);
    for (const char* p = std::strstr(list, name); p; p = std::strstr(p + 1, name))
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

// An initialised display: surfaceless, else the first device, else the default.
EGLDisplay OpenDisplay() {
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = EGL_NO_DISPLAY;
    if (getPlatformDisplay && HasExtension(client, "EGL_MESA_platform_surfaceless")) {
        display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
    }
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (getPlatformDisplay && queryDevices && HasExtension(client, "EGL_EXT_platform_device")) {
        EGLDeviceEXT device;
        EGLint count = 0;
        if (queryDevices(1, &device, &count) && count > 0) {
            display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
            if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
        }
    }
    display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) return display;
    return EGL_NO_DISPLAY;
}

EGLint Attribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

// A pbuffer configuration with 8-bit red, green and blue and no alpha, the
// deepest depth buffer first and no stencil before stencil; null when none.
EGLConfig PbufferConfig(EGLDisplay display) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 16, EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count < 1) return nullptr;
    std::vector<EGLConfig> configs(size_t(count), nullptr);
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    EGLConfig best = nullptr;
    EGLint bestScore = -1;
    for (EGLint i = 0; i < count; ++i) {
        const EGLConfig c = configs[size_t(i)];
        if (Attribute(display, c, EGL_RED_SIZE) != 8 || Attribute(display, c, EGL_GREEN_SIZE) != 8 ||
            Attribute(display, c, EGL_BLUE_SIZE) != 8 || Attribute(display, c, EGL_ALPHA_SIZE) != 0)
            continue;
        const EGLint score = 2 * Attribute(display, c, EGL_DEPTH_SIZE) + (Attribute(display, c, EGL_STENCIL_SIZE) == 0);
        if (score > bestScore) {
            best = c;
            bestScore = score;
        }
    }
    return best;
}

// A compatibility-profile context, or a legacy one where profiles are
// unknown. Without a config, one that suits any surface (or none).
EGLContext MakeContext(EGLDisplay display, EGLConfig config) {
    if (!config && !HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_no_config_context")) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint count = 0;
        if (!eglChooseConfig(display, wanted, &config, 1, &count) || count < 1) return EGL_NO_CONTEXT;
    }
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                    EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    return context;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

bool cOffscreenGl::Fail(const std::string& what) {
    failure = what;
    return false;
}

bool cOffscreenGl::OpenPbuffer() {
    const EGLConfig config = PbufferConfig(display);
    if (!config) return false;
    context = MakeContext(display, config);
    if (context == EGL_NO_CONTEXT) return false;
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, size);
    if (surface != EGL_NO_SURFACE && eglMakeCurrent(display, surface, surface, context)) return true;
    if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
    eglDestroyContext(display, context);
    surface = EGL_NO_SURFACE;
    context = EGL_NO_CONTEXT;
    return false;
}

bool cOffscreenGl::OpenFramebufferObject() {
    context = MakeContext(display, nullptr);
    if (context == EGL_NO_CONTEXT) return Fail("EGL cannot make an OpenGL context");
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        return Fail("EGL has no RGB pbuffer and cannot make a context current without a surface");
    if (!LookupFramebufferCalls()) return Fail("OpenGL has no framebuffer objects");
    fbo.genFramebuffers(1, &framebuffer);
    fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    fbo.genRenderbuffers(1, &colour);
    fbo.bindRenderbuffer(GL_RENDERBUFFER, colour);
    fbo.renderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    fbo.genRenderbuffers(1, &depth);
    fbo.bindRenderbuffer(GL_RENDERBUFFER, depth);
    for (GLenum format : {GLenum(GL_DEPTH_COMPONENT32), GLenum(GL_DEPTH_COMPONENT24)}) {
        fbo.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
        fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        if (fbo.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
    }
    return Fail("OpenGL cannot make an RGB framebuffer of " + std::to_string(width) + "x" + std::to_string(height) +
                " with a depth buffer");
}

bool cOffscreenGl::Open(int w, int h, bool framebufferObject) {
    width = w;
    height = h;
    display = OpenDisplay();
    if (display == EGL_NO_DISPLAY) return Fail("no EGL display (install Mesa's EGL: libegl1 and libegl-mesa0)");
    if (!eglBindAPI(EGL_OPENGL_API)) return Fail("EGL offers no desktop OpenGL");
    if (!framebufferObject && OpenPbuffer()) {
        target = cTarget::kPbuffer;
    } else {
        target = cTarget::kFramebufferObject;
        if (!OpenFramebufferObject()) return false;
    }
    glViewport(0, 0, width, height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    bottomUp = new (std::nothrow) uint8_t[size_t(width) * height * 3];
    if (!bottomUp) return Fail("not enough memory for a frame");
    return true;
}

cOffscreenGl::~cOffscreenGl() {
    delete[] bottomUp;
    if (display == EGL_NO_DISPLAY) return;
    if (context != EGL_NO_CONTEXT) {
        if (framebuffer) {
            fbo.bindFramebuffer(GL_FRAMEBUFFER, 0);
            fbo.deleteFramebuffers(1, &framebuffer);
            fbo.deleteRenderbuffers(1, &colour);
            fbo.deleteRenderbuffers(1, &depth);
        }
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
    }
    if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
    eglTerminate(display);
}

std::string cOffscreenGl::Description() const {
    const GLubyte* name = glGetString(GL_RENDERER);
    return std::string(name ? reinterpret_cast<const char*>(name) : "an unknown renderer") +
           (target == cTarget::kPbuffer ? ", EGL pbuffer" : ", framebuffer object");
}

void cOffscreenGl::ReadFrame(uint8_t* rgb) {
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp);
    const size_t row = size_t(width) * 3;
    for (int y = 0; y < height; ++y) std::memcpy(rgb + size_t(y) * row, bottomUp + size_t(height - 1 - y) * row, row);
}

// Ask EGL whether a context is current
bool OffscreenContextCurrent() { return eglGetCurrentContext() != EGL_NO_CONTEXT; }
