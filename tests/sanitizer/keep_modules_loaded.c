/* Preloaded into every process of a sanitizer run: dlclose() keeps the module loaded.
 *
 * The GL and X drivers (libgallium, swrast_dri, libLLVM, libGLX_mesa...) are dlopen'ed by
 * libglvnd, EGL and SDL and dlclose'd again before the process ends. What they kept until
 * then is reported by LeakSanitizer at exit, but by then their code is unmapped: the stack
 * frames name no module, or a wrong neighbour (libasan.so+0x...), and suppressions by
 * module cannot match them. With the modules left in place every such frame names its
 * driver, so lsan.supp can name the drivers and still report leaks of our own code.
 *
 * Nothing here is instrumented (it is built with -fno-sanitize=all): bash, ffmpeg and the
 * other plain programs the tests start load it too. */
#include <stddef.h>

int dlclose(void* handle) {
  (void)handle;
  return 0;
}
