#pragma once
// The settings dialog's two pictures and the windows' icon, drawn here
// rather than shipped as files.
#include <QIcon>
#include <QPixmap>

namespace kinaru {

// The product's title picture, 199 × 199.
QPixmap titlePicture();
// The maker's logo, 199 × 99.
QPixmap logoPicture();
// The program's icon, as resources/kinaru.svg draws it for the desktop.
QIcon programIcon();

}  // namespace kinaru
