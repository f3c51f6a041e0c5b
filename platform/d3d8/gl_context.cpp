#include "platform/d3d8/gl_context.h"

#include <SDL.h>
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/d3d8/gl_debug.h"

namespace d3d8 {

namespace {

bool exiting = false;
GlContext* currentContext = nullptr;  // the context this program last made current

// SDL and EGL register their own exit handlers when they start; ours is registered after
// them, so it runs before them and before the devices held in static storage go away.
void WatchForExit() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  std::atexit([] { exiting = true; });
}

bool HasExtension(const char* list, std::string_view name) {
  if (list == nullptr) return false;
  std::string_view rest(list);
  while (!rest.empty()) {
    const auto end = rest.find(' ');
    if (rest.substr(0, end) == name) return true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return false;
}

bool IsOpenGl33() { return epoxy_is_desktop_gl() && epoxy_gl_version() >= 33; }

class SdlWindowContext final : public GlContext {
 public:
  SdlWindowContext(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}
  ~SdlWindowContext() override {
    if (!ProcessIsExiting() && SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_GL_DeleteContext(context_);
  }
  bool HasDrawable() const override { return true; }
  void DrawableSize(int& width, int& height) const override {
    SDL_GL_GetDrawableSize(window_, &width, &height);
  }
  void SwapBuffers() override { SDL_GL_SwapWindow(window_); }

 protected:
  bool MakeCurrent() override { return SDL_GL_MakeCurrent(window_, context_) == 0; }

 private:
  SDL_Window* window_;
  SDL_GLContext context_;
};

class EglHeadlessContext final : public GlContext {
 public:
  EglHeadlessContext(EGLDisplay display, EGLContext context) : display_(display), context_(context) {}
  ~EglHeadlessContext() override {
    if (ProcessIsExiting()) return;
    // The display is shared by every context of the process, so it is not terminated.
    if (eglGetCurrentContext() == context_)
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
  }
  bool HasDrawable() const override { return false; }
  void DrawableSize(int& width, int& height) const override { width = height = 0; }
  void SwapBuffers() override {}

 protected:
  bool MakeCurrent() override {
    return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
  }

 private:
  EGLDisplay display_;
  EGLContext context_;
};

// A display of the surfaceless platform, else the first device that initialises.
EGLDisplay OpenHeadlessDisplay() {
  const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!HasExtension(client, "EGL_EXT_platform_base")) return EGL_NO_DISPLAY;
  EGLint major = 0, minor = 0;
  if (HasExtension(client, "EGL_MESA_platform_surfaceless")) {
    EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor) == EGL_TRUE) return display;
  }
  if (HasExtension(client, "EGL_EXT_platform_device") && HasExtension(client, "EGL_EXT_device_enumeration")) {
    EGLDeviceEXT devices[8];
    EGLint count = 0;
    if (eglQueryDevicesEXT(8, devices, &count) == EGL_TRUE) {
      for (EGLint i = 0; i < count; ++i) {
        EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor) == EGL_TRUE) return display;
      }
    }
  }
  return EGL_NO_DISPLAY;
}

}  // namespace

bool ProcessIsExiting() { return exiting; }

GlContext::~GlContext() {
  if (currentContext == this) currentContext = nullptr;
}

bool GlContext::EnsureCurrent() {
  if (currentContext == this) return true;
  if (!MakeCurrent()) return false;
  currentContext = this;
  return true;
}

GlContextResult CreateWindowContext(SDL_Window* window, bool vsync) {
  if (window == nullptr) return {nullptr, "no window"};
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, GlDebugContextsEnabled() ? SDL_GL_CONTEXT_DEBUG_FLAG : 0);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (context == nullptr) return {nullptr, std::string("no OpenGL context: ") + SDL_GetError()};
  auto result = std::make_unique<SdlWindowContext>(window, context);
  if (!result->EnsureCurrent() || !IsOpenGl33()) return {nullptr, "OpenGL 3.3 is not available"};
  InstallGlDebugCallback();
  SDL_GL_SetSwapInterval(vsync ? 1 : 0);
  WatchForExit();
  return {std::move(result), {}};
}

GlContextResult CreateHeadlessContext() {
  EGLDisplay display = OpenHeadlessDisplay();
  if (display == EGL_NO_DISPLAY) return {nullptr, "no head-less EGL display"};
  const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
  if (!HasExtension(extensions, "EGL_KHR_surfaceless_context"))
    return {nullptr, "EGL cannot make a context current without a surface"};
  if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) return {nullptr, "EGL has no desktop OpenGL"};

  EGLConfig config = EGL_NO_CONFIG_KHR;
  if (!HasExtension(extensions, "EGL_KHR_no_config_context")) {
    const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLint count = 0;
    if (eglChooseConfig(display, wanted, &config, 1, &count) != EGL_TRUE || count < 1)
      return {nullptr, "EGL offers no OpenGL configuration"};
  }
  std::vector<EGLint> attributes = {EGL_CONTEXT_MAJOR_VERSION, 3,
                                    EGL_CONTEXT_MINOR_VERSION, 3,
                                    EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT};
  if (GlDebugContextsEnabled()) {
    // The extension's flag works on EGL 1.4 as well; 1.5 has its own attribute.
    const char* version = eglQueryString(display, EGL_VERSION);  // "1.5 Mesa ..."
    if (HasExtension(extensions, "EGL_KHR_create_context"))
      attributes.insert(attributes.end(), {EGL_CONTEXT_FLAGS_KHR, EGL_CONTEXT_OPENGL_DEBUG_BIT_KHR});
    else if (version != nullptr && std::string_view(version) >= "1.5")
      attributes.insert(attributes.end(), {EGL_CONTEXT_OPENGL_DEBUG, EGL_TRUE});
  }
  attributes.push_back(EGL_NONE);
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes.data());
  if (context == EGL_NO_CONTEXT) return {nullptr, "EGL cannot make an OpenGL 3.3 core context"};
  auto result = std::make_unique<EglHeadlessContext>(display, context);
  if (!result->EnsureCurrent() || !IsOpenGl33()) return {nullptr, "OpenGL 3.3 is not available"};
  InstallGlDebugCallback();
  WatchForExit();
  return {std::move(result), {}};
}

}  // namespace d3d8
