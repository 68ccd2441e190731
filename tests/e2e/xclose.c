/* xclose WINDOW_ID: asks a window to close the way a window manager's close box
 * does, by sending it WM_PROTOCOLS/WM_DELETE_WINDOW. Needed because there is no
 * window manager under xvfb-run and this xdotool has no windowquit. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

static int failed = 0;

static int on_error(Display *display, XErrorEvent *error)
{
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    fprintf(stderr, "xclose: X error: %s\n", text);
    failed = 1;
    return 0;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: xclose WINDOW_ID\n");
        return 2;
    }
    char *end = NULL;
    errno = 0;
    unsigned long id = strtoul(argv[1], &end, 0);
    if (errno != 0 || end == argv[1] || *end != '\0' || id == 0) {
        fprintf(stderr, "xclose: not a window id: %s\n", argv[1]);
        return 2;
    }

    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xclose: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(on_error);

    Window window = (Window)id;
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

    /* A window manager only sends the request to windows that take part in it. */
    Atom *supported = NULL;
    int count = 0;
    int takesPart = 0;
    if (XGetWMProtocols(display, window, &supported, &count)) {
        for (int i = 0; i < count; ++i) {
            if (supported[i] == deleteWindow)
                takesPart = 1;
        }
        XFree(supported);
    }
    XSync(display, False);
    if (failed) {
        XCloseDisplay(display);
        return 1;
    }
    if (!takesPart) {
        fprintf(stderr, "xclose: window 0x%lx does not accept WM_DELETE_WINDOW\n", id);
        XCloseDisplay(display);
        return 1;
    }

    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)deleteWindow;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return failed ? 1 : 0;
}
