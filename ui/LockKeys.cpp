#include "ui/LockKeys.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
// Xlib's macros (None, Bool, Status...) clash with Qt's names: it comes after every Qt header.
#include <X11/XKBlib.h>
#endif

namespace LockKeys
{
std::optional<bool> GetState(EKey nKey)
{
#if QT_CONFIG(xcb)
    const auto* pX11 =
        qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* pDisplay = pX11 != nullptr ? pX11->display() : nullptr;
    if (pDisplay == nullptr)
        return std::nullopt;
    const char* pszName = nKey == EKey::Caps ? "Caps Lock" : nKey == EKey::Num ? "Num Lock" : "Scroll Lock";
    const Atom atom = XInternAtom(pDisplay, pszName, True);
    if (atom == None)
        return std::nullopt;
    Bool bOn = False;
    if (!XkbGetNamedIndicator(pDisplay, atom, nullptr, &bOn, nullptr, nullptr))
        return std::nullopt;
    return bOn != False;
#else
    static_cast<void>(nKey);
    return std::nullopt;
#endif
}
} // namespace LockKeys
