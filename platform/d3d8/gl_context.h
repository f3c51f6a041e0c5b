// OpenGL 3.3 core contexts: one on an SDL window (GLX, EGL or whatever SDL uses), or one
// with no window and no display at all (EGL), for tools and tests.
#pragma once

#include <memory>
#include <string>

struct SDL_Window;

namespace d3d8 {

class GlContext {
 public:
  virtual ~GlContext();

  // Makes this context current unless it is already. Several devices may live at once (a
  // test or a tool may hold two); each call of a device that talks to GL comes here first,
  // which costs a comparison when nothing changes.
  bool EnsureCurrent();
  // False for the head-less context: it has no default framebuffer to present into.
  virtual bool HasDrawable() const = 0;
  // The size of the window's default framebuffer in pixels.
  virtual void DrawableSize(int& width, int& height) const = 0;
  virtual void SwapBuffers() = 0;

 protected:
  virtual bool MakeCurrent() = 0;
};

struct GlContextResult {
  std::unique_ptr<GlContext> context;  // current on success
  std::string error;
};

// A context on the window (created with SDL_WINDOW_OPENGL). vsync: swaps wait for the
// display's vertical retrace.
GlContextResult CreateWindowContext(SDL_Window* window, bool vsync);

// A context without any surface: Mesa's surfaceless platform, else the EGL device
// platform.
GlContextResult CreateHeadlessContext();

// True once the process has begun to exit: SDL and EGL may already have shut down, so
// GL objects are left to the end of the process instead of being deleted.
bool ProcessIsExiting();

}  // namespace d3d8
