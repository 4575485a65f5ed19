#pragma once
// Placing controls at the positions the dialogs were drawn with.
#include <QLabel>

namespace kinaru {

// A label sized to its text, its top-left corner at left, top.
inline QLabel* label(const QString& text, int left, int top, QWidget* parent) {
    auto* result = new QLabel(text, parent);
    result->move(left, top);
    result->adjustSize();
    return result;
}

}  // namespace kinaru
