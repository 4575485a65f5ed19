#pragma once
// The settings dialog's two pictures, drawn here rather than shipped as files.
#include <QPixmap>

namespace kinaru {

// The product's title picture, 199 × 199.
QPixmap titlePicture();
// The maker's logo, 199 × 99.
QPixmap logoPicture();

}  // namespace kinaru
