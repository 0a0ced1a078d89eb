// A field the user cannot change looks like it: the window's colour behind
// the text instead of the white of an entry field.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>

namespace ostra {

template <typename Edit>
void SetReadOnlyLook(Edit* e, bool readOnly) {
    e->setReadOnly(readOnly);
    QPalette p = QApplication::palette(e);
    if (readOnly) {
        p.setColor(QPalette::Base, p.color(QPalette::Window));
        p.setColor(QPalette::Text, p.color(QPalette::WindowText));
    }
    e->setPalette(p);
}

}  // namespace ostra
