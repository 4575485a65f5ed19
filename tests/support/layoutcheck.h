#pragma once
// A dialog's layout checked in the font in use: every control lies inside its
// parent, siblings do not overlap and every caption fits its control. A
// shared border line of one pixel is allowed.
#include <QStringList>

class QWidget;

namespace kinaru::testing {

QStringList layoutProblems(QWidget* dialog);

}  // namespace kinaru::testing
