/*
 * Reads screen pixels of an X display as a person sees them: for each X Y pair, prints "light"
 * or "dark" (the mean of red, green and blue against the middle grey), on one line.
 *
 *   panel_probe X Y [X Y]...
 *
 * Exits 0 when every pixel was read, 2 when the display or a pixel could not be.
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) {
    fprintf(stderr, "usage: %s X Y [X Y]...\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "panel_probe: cannot open the X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  int status = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    XImage* image =
        XGetImage(display, root, atoi(argv[i]), atoi(argv[i + 1]), 1, 1, AllPlanes, ZPixmap);
    if (!image) {
      printf("%sunreadable", i > 1 ? " " : "");
      status = 2;
      continue;
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    const unsigned long sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
    printf("%s%s", i > 1 ? " " : "", sum / 3 >= 128 ? "light" : "dark");
  }
  printf("\n");
  XCloseDisplay(display);
  return status;
}
