#include "base/compare.h"

#include <QString>

namespace kinaru {

std::u16string foldCase(std::u16string text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size())).toCaseFolded().toStdU16String();
}

}  // namespace kinaru
