// The lock keys from the window system: Windows' key states, or the X
// server's keyboard indicators.
#include "platform/qt/LockKeys.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(OSTRA_HAVE_X11) && QT_CONFIG(xcb)
#include <X11/XKBlib.h>
#endif

namespace ostra {

LockKeyState QueryLockKeys() {
    LockKeyState s;
#if defined(Q_OS_WIN)
    s.known = true;
    s.caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    s.num = (GetKeyState(VK_NUMLOCK) & 1) != 0;
    s.scroll = (GetKeyState(VK_SCROLL) & 1) != 0;
#elif defined(OSTRA_HAVE_X11) && QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return s;  // another platform: Wayland, offscreen
    // By name: the indicators' order differs between keyboard maps.
    const auto lit = [display](const char* name) {
        Bool on = False;
        const Atom atom = XInternAtom(display, name, True);
        return atom != None && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) &&
               on;
    };
    s.known = true;
    s.caps = lit("Caps Lock");
    s.num = lit("Num Lock");
    s.scroll = lit("Scroll Lock");
#endif
    return s;
}

}  // namespace ostra
