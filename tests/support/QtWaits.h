// Waiting for the modal dialogs and popups that a command opens, so that a
// test can fill them in while the command's own event loop runs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>

namespace ostra::test {

// Runs `act` on what `find` gives once it gives something, looking every
// 10 ms for up to 10 s: on a loaded machine a window may come up late.
inline void WhenFound(std::function<QWidget*()> find, std::function<void(QWidget*)> act,
                      int triesLeft = 1000) {
    QTimer::singleShot(10, [find, act, triesLeft] {
        if (QWidget* w = find()) return act(w);
        ASSERT_GT(triesLeft, 0) << "the window did not appear";
        WhenFound(find, act, triesLeft - 1);
    });
}

// Runs `act` once a modal dialog of type T is up.
template <typename T>
void WhenModal(std::function<void(T*)> act) {
    WhenFound([] { return qobject_cast<T*>(QApplication::activeModalWidget()); },
              [act](QWidget* w) { act(static_cast<T*>(w)); });
}

// Runs `act` on the popup or modal window that comes up next.
inline void WhenShown(std::function<void(QWidget*)> act) {
    WhenFound(
        [] {
            QWidget* w = QApplication::activePopupWidget();
            return w ? w : QApplication::activeModalWidget();
        },
        act);
}

}  // namespace ostra::test
