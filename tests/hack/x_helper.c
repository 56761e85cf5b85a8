/* What the hack tests need of X that the command-line tools lack:
 *   x_helper host WIDTHxHEIGHT   maps a window of that size, prints its id (0x...),
 *                                and keeps it until killed, like XScreenSaver's own
 *   x_helper close ID            asks window ID to close, as a window manager does:
 *                                WM_PROTOCOLS with WM_DELETE_WINDOW
 *   x_helper destroy ID          destroys window ID
 * Exit status 0 on success, 1 on a bad argument or a failed X call. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int errors = 0;

static int OnError(Display* display, XErrorEvent* error) {
    char text[128];
    XGetErrorText(display, error->error_code, text, sizeof text);
    fprintf(stderr, "x_helper: X error: %s\n", text);
    ++errors;
    return 0;
}

static int Host(Display* display, const char* size) {
    unsigned width = 0, height = 0;
    if (sscanf(size, "%ux%u", &width, &height) != 2 || width == 0 || height == 0) return 1;
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width,
                                              height, 0, 0, BlackPixel(display, screen));
    XStoreName(display, window, "x_helper host");
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) break;
    }
    printf("0x%lx\n", window);
    fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: x_helper host WxH | close ID | destroy ID\n");
        return 1;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) return 1;
    XSetErrorHandler(OnError);
    if (strcmp(argv[1], "host") == 0) return Host(display, argv[2]);
    const Window window = (Window)strtoul(argv[2], NULL, 0);
    if (window == 0) return 1;
    if (strcmp(argv[1], "close") == 0) {
        XEvent event;
        memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    } else if (strcmp(argv[1], "destroy") == 0) {
        XDestroyWindow(display, window);
    } else {
        return 1;
    }
    XSync(display, False);
    XCloseDisplay(display);
    return errors == 0 ? 0 : 1;
}
