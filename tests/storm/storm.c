/* A seeded storm of keyboard and mouse input for one program on an X screen with a window
 * manager, sent through the XTest extension as if typed and clicked by a person.
 *
 *   storm send SEED FIRST COUNT PID   send events FIRST .. FIRST+COUNT-1 of the storm SEED
 *                                     (event N is the same for a seed, whatever the chunks);
 *                                     stops early if PID ends; prints "sent N" and the kinds
 *   storm ping WINDOW MILLISECONDS    exit 0 if the window's program answers _NET_WM_PING
 *   storm windows PID                 one line per managed window of PID, oldest first:
 *                                     "ID modal|plain viewable|iconic|hidden TITLE"
 *   storm popups PID                  the viewable popups (menus, tool tips) of PID
 *   storm activate WINDOW             ask the window manager to raise, restore and focus it
 *   storm maximize WINDOW             ask the window manager to maximize it
 *   storm active                      print the window manager's active window (0 if none)
 */
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

static Display *dpy;
static Window root;
/* STORM_SOAK: the long storm keeps one life of the program to measure its memory, so it never
 * closes the frame itself nor picks from a menu of a single item (the frame's Window > Exit). */
static int soak;

static uint64_t mix(uint64_t z)
{
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

/* One stream of numbers per event, so that event N never depends on how the storm was cut. */
static uint64_t state;
static unsigned below(unsigned n)
{
    state = mix(state);
    return (unsigned)(state % n);
}

static void pause_ms(unsigned ms)
{
    struct timespec t = {ms / 1000, (long)(ms % 1000) * 1000000L};
    nanosleep(&t, NULL);
}

static Atom atom(const char *name)
{
    return XInternAtom(dpy, name, False);
}

static long cardinal(Window w, const char *name, long fallback)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char *data = NULL;
    long value = fallback;
    if (XGetWindowProperty(dpy, w, atom(name), 0, 1, False, AnyPropertyType, &type, &format, &n,
                           &after, &data)
            == Success
        && data && n == 1 && format == 32)
        value = *(long *)data;
    if (data)
        XFree(data);
    return value;
}

static int has_state(Window w, const char *name)
{
    Atom type, wanted = atom(name);
    int format, found = 0;
    unsigned long n, after;
    unsigned char *data = NULL;
    if (XGetWindowProperty(dpy, w, atom("_NET_WM_STATE"), 0, 64, False, XA_ATOM, &type, &format,
                           &n, &after, &data)
            == Success
        && data) {
        for (unsigned long i = 0; i < n; ++i)
            found |= ((Atom *)data)[i] == wanted;
    }
    if (data)
        XFree(data);
    return found;
}

/* The managed top-level windows of a process, in the order they were first mapped. */
static int client_windows(long pid, Window *out, int max)
{
    Atom type;
    int format, count = 0;
    unsigned long n, after;
    unsigned char *data = NULL;
    if (XGetWindowProperty(dpy, root, atom("_NET_CLIENT_LIST"), 0, 1024, False, XA_WINDOW, &type,
                           &format, &n, &after, &data)
            == Success
        && data) {
        for (unsigned long i = 0; i < n && count < max; ++i) {
            const Window w = ((Window *)data)[i];
            if (cardinal(w, "_NET_WM_PID", -1) == pid)
                out[count++] = w;
        }
    }
    if (data)
        XFree(data);
    return count;
}

/* 1 normal, 3 iconic, 0 withdrawn. */
static long wm_state(Window w)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char *data = NULL;
    long value = 0;
    const Atom wmState = atom("WM_STATE");
    if (XGetWindowProperty(dpy, w, wmState, 0, 2, False, wmState, &type, &format, &n, &after,
                           &data)
            == Success
        && data && n >= 1)
        value = *(long *)data;
    if (data)
        XFree(data);
    return value;
}

static int ignore_errors(Display *d, XErrorEvent *e)
{
    (void)d;
    (void)e;
    return 0;
}

/* The window's outer rectangle on the screen, decorations included. */
static int outer_rect(Window w, int *x, int *y, int *width, int *height)
{
    XWindowAttributes a;
    Window child;
    if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable)
        return 0;
    XTranslateCoordinates(dpy, w, root, 0, 0, x, y, &child);
    *width = a.width;
    *height = a.height;
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char *data = NULL;
    if (XGetWindowProperty(dpy, w, atom("_NET_FRAME_EXTENTS"), 0, 4, False, XA_CARDINAL, &type,
                           &format, &n, &after, &data)
            == Success
        && data && n == 4) {
        const long *e = (const long *)data; /* left, right, top, bottom */
        *x -= (int)e[0];
        *y -= (int)e[2];
        *width += (int)(e[0] + e[1]);
        *height += (int)(e[2] + e[3]);
    }
    if (data)
        XFree(data);
    return 1;
}

static void wm_message(Window w, const char *type, long a0, long a1, long a2)
{
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = atom(type);
    e.xclient.format = 32;
    e.xclient.data.l[0] = a0;
    e.xclient.data.l[1] = a1;
    e.xclient.data.l[2] = a2;
    XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

/* A key code for any keysym: the keyboard's own, or a spare code mapped to it for the moment. */
static KeyCode code_for(KeySym sym, int *shifted)
{
    *shifted = 0;
    KeyCode code = XKeysymToKeycode(dpy, sym);
    if (code) {
        *shifted = XkbKeycodeToKeysym(dpy, code, 0, 0) != sym
            && XkbKeycodeToKeysym(dpy, code, 0, 1) == sym;
        return code;
    }
    int low, high, per;
    XDisplayKeycodes(dpy, &low, &high);
    KeySym *map = XGetKeyboardMapping(dpy, (KeyCode)low, high - low + 1, &per);
    int spare = 0;
    for (int c = high; c >= low && !spare; --c) {
        int empty = 1;
        for (int i = 0; i < per; ++i)
            empty &= map[(c - low) * per + i] == NoSymbol;
        if (empty)
            spare = c;
    }
    XFree(map);
    if (!spare)
        return 0;
    KeySym both[2] = {sym, sym};
    XChangeKeyboardMapping(dpy, spare, 2, both, 1);
    XSync(dpy, False);
    pause_ms(30); /* the program reads the new mapping before the key */
    return (KeyCode)spare;
}

static void key(KeySym sym, unsigned modifiers)
{
    static const KeySym mods[] = {XK_Shift_L, XK_Control_L, XK_Alt_L};
    int shifted;
    const KeyCode code = code_for(sym, &shifted);
    if (!code)
        return;
    if (shifted)
        modifiers |= 1;
    for (int i = 0; i < 3; ++i)
        if (modifiers & (1u << i))
            XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, mods[i]), True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    for (int i = 2; i >= 0; --i)
        if (modifiers & (1u << i))
            XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, mods[i]), False, CurrentTime);
}

static void move_to(int x, int y)
{
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, CurrentTime);
}

static void click(unsigned button, int times)
{
    for (int i = 0; i < times; ++i) {
        XTestFakeButtonEvent(dpy, button, True, CurrentTime);
        XTestFakeButtonEvent(dpy, button, False, CurrentTime);
        XSync(dpy, False);
        pause_ms(20);
    }
}

/* The program's viewable popups (menus, tool tips); returns how many were stored. */
static int popups(long pid, Window *out, int max)
{
    Window parent, *children = NULL, root_return;
    unsigned n = 0;
    int count = 0;
    if (!XQueryTree(dpy, root, &root_return, &parent, &children, &n))
        return 0;
    for (unsigned i = 0; i < n && count < max; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable
            && a.override_redirect && cardinal(children[i], "_NET_WM_PID", -1) == pid)
            out[count++] = children[i];
    }
    if (children)
        XFree(children);
    return count;
}

/* In the soak, a point on a menu of a single item (the frame's Window > Exit) is spared. */
static int spared(long pid, int x, int y)
{
    Window open[8];
    const int n = soak ? popups(pid, open, 8) : 0;
    for (int i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, open[i], &a) && a.height < 40 && x >= a.x
            && x < a.x + a.width && y >= a.y && y < a.y + a.height)
            return 1;
    }
    return 0;
}

/* A point on the screen: in an open menu, on a window's menu bar, title bar or edge, anywhere
 * in a window, or anywhere at all. */
static void pick_point(long pid, int *x, int *y)
{
    const int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
    Window windows[64];
    int n = popups(pid, windows, 64);
    int wx, wy, ww, wh;
    if (n > 0 && below(10) < 6) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, windows[n - 1], &a) && a.width > 0 && a.height > 0) {
            *x = a.x + (int)below((unsigned)a.width);
            *y = a.y + (int)below((unsigned)a.height);
            return;
        }
    }
    n = client_windows(pid, windows, 64);
    const Window target = n > 0 ? (below(2) ? windows[n - 1] : windows[below((unsigned)n)]) : None;
    if (n > 0 && below(10) < 8 && outer_rect(target, &wx, &wy, &ww, &wh) && ww > 0 && wh > 0) {
        const unsigned where = below(20);
        *x = wx + (int)below((unsigned)ww);
        *y = wy + (int)below((unsigned)wh);
        if (where < 6) { /* the menu bar and the title bar above it */
            *x = wx + (int)below(ww < 120 ? (unsigned)ww : 120u);
            *y = wy + (int)below(wh < 45 ? (unsigned)wh : 45u);
        } else if (where < 7 && below(2) && !(soak && target == windows[0])) {
            /* the title bar's buttons */
            *x = wx + ww - 1 - (int)below(ww < 80 ? (unsigned)ww : 80u);
            *y = wy + (int)below(wh < 25 ? (unsigned)wh : 25u);
        }
        return;
    }
    *x = (int)below((unsigned)sw);
    *y = (int)below((unsigned)sh);
}

static const KeySym printable[] = {
    XK_a, XK_k, XK_z, XK_A, XK_Q, XK_0, XK_1, XK_7, XK_9, XK_space, XK_exclam, XK_question,
    XK_at, XK_minus, XK_period, XK_slash, XK_backslash, XK_bracketleft, XK_asciitilde, XK_ampersand,
};
static const KeySym control[] = {XK_Return, XK_BackSpace, XK_Tab, XK_Escape, XK_Delete,
                                 XK_Insert, XK_KP_Enter, XK_Menu, XK_Pause, XK_Print};
static const KeySym navigation[] = {XK_Left, XK_Right, XK_Up,    XK_Down,  XK_Home,
                                    XK_End,  XK_Prior, XK_Next,  XK_KP_5,  XK_KP_Home};
/* Latin-1 beyond ASCII, then beyond Latin-1 and beyond 16 bits. */
static const KeySym wide[] = {XK_eacute,   XK_ssharp,   XK_ydiaeresis, XK_multiply, XK_nobreakspace,
                              0x1000416,   0x10020AC,   0x1004E2D,     0x101F600,   0x10005D0};

static const char *send_one(long pid)
{
    int x, y;
    Window open[8];
    const int menus = popups(pid, open, 8);
    for (int i = 0; soak && i < menus; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, open[i], &a) && a.height < 40) {
            key(XK_Escape, 0);
            return "Escape (spared: a menu of one item)";
        }
    }
    /* An open menu mostly gets picked from, as a child would, or nothing would ever open. */
    if (menus > 0 && below(2) == 0) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, open[menus - 1], &a) && a.width > 0 && a.height > 0
            && !(soak && a.height < 40)) {
            move_to(a.x + (int)below((unsigned)a.width), a.y + (int)below((unsigned)a.height));
            XSync(dpy, False);
            pause_ms(5);
            click(1, 1);
            return "click in an open menu";
        }
    }
    /* With every window minimised, a child clicks one back from the task bar. */
    Window windows[64];
    const int n = client_windows(pid, windows, 64);
    int shown = 0;
    for (int i = 0; i < n; ++i)
        shown |= outer_rect(windows[i], &x, &y, &x, &y);
    if (n > 0 && !shown && below(4) == 0) {
        wm_message(windows[n - 1], "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
        return "restore a window from the task bar";
    }
    const unsigned kind = below(100);
    if (kind < 22) {
        key(below(3) ? XK_a + below(26) : (below(2) ? XK_A + below(26) : XK_0 + below(10)), 0);
        return "letter or digit";
    }
    if (kind < 30) {
        key(printable[below(sizeof printable / sizeof *printable)], 0);
        return "printable";
    }
    if (kind < 36) {
        key(control[below(sizeof control / sizeof *control)], 0);
        return "control";
    }
    if (kind < 40) {
        key(XK_F1 + below(12), 0);
        return "function";
    }
    if (kind < 44) {
        key(navigation[below(sizeof navigation / sizeof *navigation)], 0);
        return "navigation";
    }
    if (kind < 48) {
        key(wide[below(sizeof wide / sizeof *wide)], 0);
        return "text beyond ASCII";
    }
    if (kind < 55) {
        static const KeySym any[] = {XK_a, XK_h, XK_o, XK_q, XK_w, XK_l, XK_x, XK_c, XK_v,
                                     XK_z, XK_Tab, XK_Return, XK_F10, XK_space, XK_Escape};
        unsigned modifiers = 1 + below(7);
        const KeySym sym = any[below(sizeof any / sizeof *any)];
        key(sym, modifiers);
        return "with Alt, Ctrl or Shift";
    }
    if (kind < 76) {
        static const unsigned buttons[] = {1, 1, 1, 1, 1, 3, 3, 2};
        pick_point(pid, &x, &y);
        if (spared(pid, x, y))
            return "click (spared)";
        move_to(x, y);
        XSync(dpy, False);
        pause_ms(5);
        click(buttons[below(8)], below(5) ? 1 : 2);
        pause_ms(60); /* a menu the click opened is up before the next event */
        if (getenv("STORM_TRACE"))
            printf("click at %d,%d\n", x, y);
        return "click";
    }
    if (kind < 81) {
        pick_point(pid, &x, &y);
        move_to(x, y);
        XTestFakeButtonEvent(dpy, below(4) ? 1 : 3, True, CurrentTime);
        int tx, ty;
        pick_point(pid, &tx, &ty);
        for (int i = 1; i <= 5; ++i) {
            move_to(x + (tx - x) * i / 5, y + (ty - y) * i / 5);
            XSync(dpy, False);
            pause_ms(5);
        }
        XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
        XTestFakeButtonEvent(dpy, 3, False, CurrentTime);
        return "drag";
    }
    if (kind < 86) {
        pick_point(pid, &x, &y);
        if (spared(pid, x, y))
            return "wheel (spared)";
        move_to(x, y);
        click(4 + below(4), 1 + below(3));
        return "wheel";
    }
    if (kind < 92) {
        pick_point(pid, &x, &y);
        move_to(x, y);
        return "move";
    }
    /* Closing the frame ends the program, so the storm seldom does it: mostly the windows in
     * front of it are closed, minimised and restored. */
    const unsigned action = below(16);
    if (action == 0) {
        if (below(2) == 0 || soak)
            return "Alt+F4 (skipped)";
        key(XK_F4, 4);
        return "Alt+F4";
    }
    if (n == 0)
        return "window (none)";
    const Window newest = windows[n - 1], any = windows[below((unsigned)n)];
    if (action < 3) {
        if (n == 1 && (below(10) != 0 || soak))
            return "close a window (skipped: only the frame)";
        wm_message(action < 2 || soak ? newest : any, "_NET_CLOSE_WINDOW", CurrentTime, 2, 0);
        return "close a window";
    }
    if (action < 7) {
        XIconifyWindow(dpy, any, DefaultScreen(dpy));
        return "minimise a window";
    }
    wm_message(any, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
    return "restore a window";
}

static int alive(long pid)
{
    return kill((pid_t)pid, 0) == 0;
}

static int send_storm(uint64_t seed, long first, long count, long pid)
{
    const char *kinds[32] = {0};
    long counts[32] = {0};
    long sent = 0;
    const int trace = getenv("STORM_TRACE") != NULL; /* each event, as it is sent */
    soak = getenv("STORM_SOAK") != NULL;
    for (long i = first; i < first + count; ++i) {
        if (!alive(pid))
            break;
        state = mix(seed ^ mix((uint64_t)i));
        const char *kind = send_one(pid);
        XSync(dpy, False);
        pause_ms(4 + below(12));
        if (trace) {
            Window windows[64];
            printf("%ld %s: %d windows\n", i, kind, client_windows(pid, windows, 64));
        }
        ++sent;
        for (int k = 0; k < 32; ++k) {
            if (!kinds[k] || kinds[k] == kind) {
                kinds[k] = kind;
                ++counts[k];
                break;
            }
        }
    }
    /* Leave no key or button held down for whoever comes next. */
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XTestFakeButtonEvent(dpy, 3, False, CurrentTime);
    XSync(dpy, False);
    printf("sent %ld\n", sent);
    for (int k = 0; k < 32 && kinds[k]; ++k)
        printf("  %ld %s\n", counts[k], kinds[k]);
    return 0;
}

static long now_ms(void)
{
    struct timeval t;
    gettimeofday(&t, NULL);
    return t.tv_sec * 1000L + t.tv_usec / 1000;
}

static int ping(Window w, long timeout)
{
    XSelectInput(dpy, root, StructureNotifyMask); /* where the answer is sent */
    const long stamp = now_ms() & 0x7FFFFFFF;
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = atom("WM_PROTOCOLS");
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)atom("_NET_WM_PING");
    e.xclient.data.l[1] = stamp;
    e.xclient.data.l[2] = (long)w;
    XSendEvent(dpy, w, False, NoEventMask, &e);
    XFlush(dpy);
    const long deadline = now_ms() + timeout;
    while (now_ms() < deadline) {
        while (XPending(dpy)) {
            XNextEvent(dpy, &e);
            if (e.type == ClientMessage && e.xclient.window == root
                && (Atom)e.xclient.data.l[0] == atom("_NET_WM_PING") && e.xclient.data.l[1] == stamp)
                return 0;
        }
        pause_ms(10);
    }
    return 1;
}

static int list_popups(long pid)
{
    Window windows[64];
    const int n = popups(pid, windows, 64);
    for (int i = 0; i < n; ++i)
        printf("0x%lx\n", windows[i]);
    return 0;
}

static int list_windows(long pid)
{
    Window windows[64];
    const int n = client_windows(pid, windows, 64);
    for (int i = 0; i < n; ++i) {
        XWindowAttributes a;
        char *title = NULL;
        XTextProperty text;
        if (XGetWMName(dpy, windows[i], &text) && text.value) {
            title = strdup((const char *)text.value);
            XFree(text.value);
        }
        const long st = wm_state(windows[i]);
        const int viewable = XGetWindowAttributes(dpy, windows[i], &a) && a.map_state == IsViewable;
        printf("0x%lx %s %s %s\n", windows[i],
               has_state(windows[i], "_NET_WM_STATE_MODAL") ? "modal" : "plain",
               st == IconicState ? "iconic" : viewable ? "viewable" : "hidden",
               title ? title : "");
        free(title);
    }
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: storm send SEED FIRST COUNT PID | ping WINDOW MS | windows PID | "
                        "activate WINDOW | active\n");
        return 2;
    }
    dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "storm: cannot open the display\n");
        return 2;
    }
    root = DefaultRootWindow(dpy);
    XSetErrorHandler(ignore_errors); /* windows come and go under the storm's feet */
    int event, error, major, minor;
    if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
        fprintf(stderr, "storm: the X server has no XTEST extension\n");
        return 2;
    }
    const char *command = argv[1];
    if (!strcmp(command, "send") && argc == 6)
        return send_storm(strtoull(argv[2], NULL, 10), strtol(argv[3], NULL, 10),
                          strtol(argv[4], NULL, 10), strtol(argv[5], NULL, 10));
    if (!strcmp(command, "ping") && argc == 4)
        return ping((Window)strtoul(argv[2], NULL, 0), strtol(argv[3], NULL, 10));
    if (!strcmp(command, "popups") && argc == 3)
        return list_popups(strtol(argv[2], NULL, 10));
    if (!strcmp(command, "windows") && argc == 3)
        return list_windows(strtol(argv[2], NULL, 10));
    if (!strcmp(command, "activate") && argc == 3) {
        wm_message((Window)strtoul(argv[2], NULL, 0), "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
        XSync(dpy, False);
        return 0;
    }
    if (!strcmp(command, "maximize") && argc == 3) {
        wm_message((Window)strtoul(argv[2], NULL, 0), "_NET_WM_STATE", 1,
                   (long)atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                   (long)atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
        XSync(dpy, False);
        return 0;
    }
    if (!strcmp(command, "active")) {
        printf("0x%lx\n", (unsigned long)cardinal(root, "_NET_ACTIVE_WINDOW", 0));
        return 0;
    }
    fprintf(stderr, "storm: unknown command %s\n", command);
    return 2;
}
