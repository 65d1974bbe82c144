/*
 * Reads screen pixels of an X display as a person sees them: for each X Y pair, prints "light"
 * or "dark" (the mean of red, green and blue against the middle grey), on one line. With
 * --darkest, prints the brightness (0..255, that mean) of the darkest pixel of the rectangle
 * instead: whether a button's label is drawn black or in a disabled grey.
 *
 *   panel_probe X Y [X Y]...
 *   panel_probe --darkest X Y WIDTH HEIGHT
 *
 * One round trip to the X server a pixel or rectangle, so that a test can poll while the tool
 * transmits without loading the display server that shows the swaps.
 * Exits 0 when every pixel was read, 2 when the display or a pixel could not be.
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static unsigned brightness(unsigned long pixel) {
  return (unsigned)(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF)) / 3;
}

static int print_darkest(Display* display, Window root, char** rect) {
  const int width = atoi(rect[2]), height = atoi(rect[3]);
  if (width <= 0 || height <= 0) {
    fprintf(stderr, "panel_probe: an empty rectangle\n");
    return 2;
  }
  XImage* image = XGetImage(display, root, atoi(rect[0]), atoi(rect[1]), (unsigned)width,
                            (unsigned)height, AllPlanes, ZPixmap);
  if (!image) {
    printf("unreadable\n");
    return 2;
  }
  unsigned darkest = 255;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      const unsigned value = brightness(XGetPixel(image, x, y));
      if (value < darkest) darkest = value;
    }
  }
  XDestroyImage(image);
  printf("%u\n", darkest);
  return 0;
}

int main(int argc, char** argv) {
  const bool darkest = argc > 1 && strcmp(argv[1], "--darkest") == 0;
  if (darkest ? argc != 6 : argc < 3 || argc % 2 == 0) {
    fprintf(stderr, "usage: %s X Y [X Y]...\n       %s --darkest X Y WIDTH HEIGHT\n", argv[0],
            argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "panel_probe: cannot open the X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  int status = 0;
  if (darkest) {
    status = print_darkest(display, root, argv + 2);
  } else {
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
      printf("%s%s", i > 1 ? " " : "", brightness(pixel) >= 128 ? "light" : "dark");
    }
    printf("\n");
  }
  XCloseDisplay(display);
  return status;
}
