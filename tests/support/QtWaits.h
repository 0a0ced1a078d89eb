// Waiting for the modal dialogs and popups that a command opens, so that a
// test can fill them in while the command's own event loop runs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>

namespace ostra::test {

// Runs `act` once a modal dialog of type T is up, polling every 10 ms for up
// to 10 s.
template <typename T>
void WhenModal(std::function<void(T*)> act, int triesLeft = 1000) {
    QTimer::singleShot(10, [act, triesLeft] {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(d);
            return;
        }
        ASSERT_GT(triesLeft, 0) << "the dialog did not appear";
        WhenModal<T>(act, triesLeft - 1);
    });
}

// Runs `act` on the popup or modal window that the next event loop shows,
// polling as WhenModal does: on a loaded machine it may come up late.
inline void WhenShown(std::function<void(QWidget*)> act, int triesLeft = 1000) {
    QTimer::singleShot(triesLeft == 1000 ? 0 : 10, [act, triesLeft] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w) w = QApplication::activeModalWidget();
        if (w) return act(w);
        ASSERT_GT(triesLeft, 0) << "nothing was shown";
        WhenShown(act, triesLeft - 1);
    });
}

}  // namespace ostra::test
