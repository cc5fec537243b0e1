#include "display/ui/ScreenProfile.h"

#include <cstdlib>

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace orbet {

QByteArray screenProfile() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return {};
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (!screens.rem) return {};
    static const char name[] = "_ICC_PROFILE";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
    if (!atom) return {};
    const xcb_atom_t property = atom->atom;
    std::free(atom);
    if (property == XCB_ATOM_NONE) return {};
    // A profile is a few kilobytes; more than 4 MB is not one.
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, screens.data->root, property, XCB_ATOM_ANY, 0, 1024 * 1024), nullptr);
    if (!reply) return {};
    QByteArray profile;
    if (reply->format == 8)
        profile = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                             xcb_get_property_value_length(reply));
    std::free(reply);
    return profile;
}

} // namespace orbet
