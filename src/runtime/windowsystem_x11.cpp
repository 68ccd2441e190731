#include "windowsystem_p.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace forms {

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, std::uint16_t(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

// The window a window manager names in its check property, or none.
xcb_window_t checkWindow(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    xcb_window_t named = XCB_WINDOW_NONE;
    if (reply && reply->type == XCB_ATOM_WINDOW && xcb_get_property_value_length(reply) >= 4)
        named = *static_cast<xcb_window_t *>(xcb_get_property_value(reply));
    std::free(reply);
    return named;
}

} // namespace

bool windowManagerPresent()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return true; // other platforms size maximized windows themselves
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return true;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t property = atom(connection, "_NET_SUPPORTING_WM_CHECK");
    if (!screen || property == XCB_ATOM_NONE)
        return false;
    // A live window manager's check window names itself; a stale property does not.
    const xcb_window_t named = checkWindow(connection, screen->root, property);
    return named != XCB_WINDOW_NONE && checkWindow(connection, named, property) == named;
}

} // namespace forms
