// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dialogframe.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace rinkaro
{

namespace
{

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The value of a window's property, or an empty reply.
Reply<xcb_get_property_reply_t> property(xcb_connection_t *connection, xcb_window_t window,
                                         xcb_atom_t name, xcb_atom_t type)
{
    return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, 64), nullptr));
}

// The name the running window manager gives itself (EWMH _NET_SUPPORTING_WM_CHECK).
QByteArray windowManagerName(xcb_connection_t *connection, xcb_window_t root)
{
    const auto check = property(
        connection, root, internAtom(connection, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (!check || check->format != 32 || xcb_get_property_value_length(check.get()) < 4)
        return {};
    const xcb_window_t wmWindow = *static_cast<xcb_window_t *>(xcb_get_property_value(check.get()));
    const auto name = property(connection, wmWindow, internAtom(connection, "_NET_WM_NAME"),
                               internAtom(connection, "UTF8_STRING"));
    if (!name || name->format != 8)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(name.get())),
                      xcb_get_property_value_length(name.get()));
}

} // namespace

void askForDialogFrame(QWidget *dialog)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (windowManagerName(connection, root) != "Openbox")
        return;
    const xcb_atom_t types[] = {internAtom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                internAtom(connection, "_NET_WM_WINDOW_TYPE_DIALOG")};
    // winId() makes the native window if the dialog has none yet; Qt writes the window type
    // only when it makes the window, so the one given here stays for later showings.
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(dialog->winId()),
                        internAtom(connection, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 2, types);
    xcb_flush(connection);
}

} // namespace rinkaro
