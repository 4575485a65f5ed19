#pragma once
// File names and settings are bytes in the locale's encoding; widgets show
// text. These two cross between them the way Qt names files.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

namespace kinaru {

inline QString fromLocal(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
inline std::string toLocal(const QString& text) { return QFile::encodeName(text).toStdString(); }

}  // namespace kinaru
