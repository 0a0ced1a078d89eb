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

// Runs `act` on the popup or modal window that the next event loop shows.
inline void WhenShown(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w) w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

}  // namespace ostra::test
