#include "desktop/frame/LockKeys.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

// Last: the X11 headers define macros (None, Bool, KeyPress...) that Qt's
// headers must not see.
#include <X11/XKBlib.h>

namespace Tevra {

namespace {

// The state of the named indicator, or nothing when the keyboard has none.
std::optional<bool> NamedIndicator(Display* display, const char* name)
{
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on != False;
}

}  // namespace

std::optional<LockKeyState> ReadLockKeyIndicators()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (display == nullptr)
        return std::nullopt;
    const std::optional<bool> caps = NamedIndicator(display, "Caps Lock");
    const std::optional<bool> num = NamedIndicator(display, "Num Lock");
    if (!caps || !num)
        return std::nullopt;
    return LockKeyState{*caps, *num};
}

}  // namespace Tevra
