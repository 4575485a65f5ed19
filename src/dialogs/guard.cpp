#include "dialogs/guard.h"

namespace kinaru {

QString errorBoxText(const std::exception& error) { return QString::fromUtf8(error.what()) + QLatin1Char('.'); }

}  // namespace kinaru
