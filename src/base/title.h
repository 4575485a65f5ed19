#pragma once
#include <QString>

namespace kinaru {
// The application title: the caption of message and error boxes.
inline QString applicationTitle() { return QStringLiteral("Kinaru Version 2.5 Prerelease."); }
}  // namespace kinaru
