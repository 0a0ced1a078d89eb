// The keyboard's lock keys, for the status bar's CAP, NUM and SCRL panes.
// Qt has no call for them, so each window system is asked in its own way.
#pragma once

namespace ostra {

struct LockKeyState {
    bool known = false;  // false where the window system cannot be asked
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockKeyState QueryLockKeys();

}  // namespace ostra
