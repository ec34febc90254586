// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dialogframe.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

namespace rinkaro
{

namespace
{

// The calls below, taken from the libxcb that Qt's xcb platform has loaded rather than linked
// into the program: every library the program links is searched, at each start, for each of
// the thousands of symbols the Qt libraries bind, and this one would be searched before
// QtCore. On any other platform libxcb is not loaded and none of this is needed.
struct Xcb {
    decltype(&xcb_intern_atom) intern_atom = nullptr;
    decltype(&xcb_intern_atom_reply) intern_atom_reply = nullptr;
    decltype(&xcb_get_property) get_property = nullptr;
    decltype(&xcb_get_property_reply) get_property_reply = nullptr;
    decltype(&xcb_get_property_value) get_property_value = nullptr;
    decltype(&xcb_get_property_value_length) get_property_value_length = nullptr;
    decltype(&xcb_get_setup) get_setup = nullptr;
    decltype(&xcb_setup_roots_iterator) setup_roots_iterator = nullptr;
    decltype(&xcb_change_property) change_property = nullptr;
    decltype(&xcb_flush) flush = nullptr;
};

// Null when libxcb is not loaded or lacks one of the calls.
const Xcb *loadedXcb()
{
    static const std::unique_ptr<const Xcb> xcb = []() -> std::unique_ptr<const Xcb> {
        // The platform plugin keeps the library loaded: the handle is never closed.
        void *library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
        if (!library)
            return nullptr;
        auto functions = std::make_unique<Xcb>();
        bool complete = true;
        const auto take = [library, &complete](auto &function, const char *name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            complete = complete && function;
        };
        take(functions->intern_atom, "xcb_intern_atom");
        take(functions->intern_atom_reply, "xcb_intern_atom_reply");
        take(functions->get_property, "xcb_get_property");
        take(functions->get_property_reply, "xcb_get_property_reply");
        take(functions->get_property_value, "xcb_get_property_value");
        take(functions->get_property_value_length, "xcb_get_property_value_length");
        take(functions->get_setup, "xcb_get_setup");
        take(functions->setup_roots_iterator, "xcb_setup_roots_iterator");
        take(functions->change_property, "xcb_change_property");
        take(functions->flush, "xcb_flush");
        if (!complete)
            return nullptr;
        return functions;
    }();
    return xcb.get();
}

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t internAtom(const Xcb &xcb, xcb_connection_t *connection, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb.intern_atom_reply(
        connection, xcb.intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The value of a window's property, or an empty reply.
Reply<xcb_get_property_reply_t> property(const Xcb &xcb, xcb_connection_t *connection,
                                         xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    return Reply<xcb_get_property_reply_t>(xcb.get_property_reply(
        connection, xcb.get_property(connection, 0, window, name, type, 0, 64), nullptr));
}

// The name the running window manager gives itself (EWMH _NET_SUPPORTING_WM_CHECK).
QByteArray windowManagerName(const Xcb &xcb, xcb_connection_t *connection, xcb_window_t root)
{
    const auto check =
        property(xcb, connection, root, internAtom(xcb, connection, "_NET_SUPPORTING_WM_CHECK"),
                 XCB_ATOM_WINDOW);
    if (!check || check->format != 32 || xcb.get_property_value_length(check.get()) < 4)
        return {};
    const xcb_window_t wmWindow = *static_cast<xcb_window_t *>(xcb.get_property_value(check.get()));
    const auto name =
        property(xcb, connection, wmWindow, internAtom(xcb, connection, "_NET_WM_NAME"),
                 internAtom(xcb, connection, "UTF8_STRING"));
    if (!name || name->format != 8)
        return {};
    return QByteArray(static_cast<const char *>(xcb.get_property_value(name.get())),
                      xcb.get_property_value_length(name.get()));
}

} // namespace

void askForDialogFrame(QWidget *dialog)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    const Xcb *xcb = loadedXcb();
    if (!xcb)
        return;
    xcb_connection_t *connection = x11->connection();
    const xcb_window_t root = xcb->setup_roots_iterator(xcb->get_setup(connection)).data->root;
    if (windowManagerName(*xcb, connection, root) != "Openbox")
        return;
    const xcb_atom_t types[] = {internAtom(*xcb, connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                internAtom(*xcb, connection, "_NET_WM_WINDOW_TYPE_DIALOG")};
    // winId() makes the native window if the dialog has none yet; Qt writes the window type
    // only when it makes the window, so the one given here stays for later showings.
    xcb->change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(dialog->winId()),
                         internAtom(*xcb, connection, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 2,
                         types);
    xcb->flush(connection);
}

} // namespace rinkaro
