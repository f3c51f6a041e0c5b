/* Asks an X window to close the way a window manager's close box does: a WM_DELETE_WINDOW
 * client message. Xvfb runs without a window manager, so the tests send it themselves.
 * usage: x11_close_window WINDOW_ID */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "x11_close_window: no display\n");
    return 1;
  }
  XEvent event = {0};
  event.xclient.type = ClientMessage;
  event.xclient.window = (Window)strtoul(argv[1], NULL, 0);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);
  return 0;
}
