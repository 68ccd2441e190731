/*
 * Starts a program and prints one line: the milliseconds from just before its start to the first
 * drawn pixel of its top-level window named TITLE, and its peak resident memory in KiB.
 * The X server must fill its root with black (Xvfb -br) and run no window manager.
 *
 * usage: firstpixels TITLE PROGRAM [ARGUMENTS...]
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { TimeoutMs = 30000 };

static pid_t child;

static double nowMs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static void fail(const char *what)
{
    fprintf(stderr, "firstpixels: %s\n", what);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, NULL, 0);
    }
    exit(1);
}

/* The window can vanish between two requests; treat that as "not drawn yet". */
static int ignoreXError(Display *display, XErrorEvent *error)
{
    (void)display;
    (void)error;
    return 0;
}

static int hasTitle(Display *display, Window window, const char *title)
{
    char *name = NULL;
    int same = XFetchName(display, window, &name) && name && strcmp(name, title) == 0;
    if (name)
        XFree(name);
    return same;
}

static void checkChild(void)
{
    if (waitpid(child, NULL, WNOHANG) == child) {
        child = 0;
        fail("the program ended before it drew its window");
    }
}

static Window waitForMap(Display *display, const char *title, double start)
{
    struct pollfd connection = {.fd = ConnectionNumber(display), .events = POLLIN};
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && hasTitle(display, event.xmap.window, title))
                return event.xmap.window;
        }
        checkChild();
        if (nowMs() - start > TimeoutMs)
            fail("no window mapped in time");
        poll(&connection, 1, 10);
    }
}

/* Drawn once the middle of the window is no longer the server's black. */
static int isDrawn(Display *display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return 0;
    XImage *image = XGetImage(display, window, attributes.width / 2, attributes.height / 2, 1, 1,
                              AllPlanes, ZPixmap);
    if (!image)
        return 0;
    unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel != BlackPixel(display, DefaultScreen(display));
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: firstpixels TITLE PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display)
        fail("cannot open the display");
    XSetErrorHandler(ignoreXError);
    fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    child = fork();
    if (child < 0)
        fail("cannot fork");
    if (child == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }

    Window window = waitForMap(display, argv[1], start);
    while (!isDrawn(display, window)) {
        checkChild();
        if (nowMs() - start > TimeoutMs)
            fail("the window was never drawn");
        usleep(250);
    }
    const double elapsed = nowMs() - start;

    kill(child, SIGKILL);
    struct rusage usage;
    if (wait4(child, NULL, 0, &usage) != child)
        fail("cannot collect the program");
    printf("%.3f %ld\n", elapsed, usage.ru_maxrss);
    XCloseDisplay(display);
    return 0;
}
