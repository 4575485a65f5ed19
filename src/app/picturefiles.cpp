// kinaru-pictures FOLDER: the settings dialog's two pictures, drawn as the
// Linux program draws them, written as title.bmp and logo.bmp for kinaru.exe
// to carry as resources, so that both faces show the same pictures.
#include "dialogs/pictures.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: kinaru-pictures FOLDER\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    bool written = kinaru::titlePicture().toImage().convertToFormat(QImage::Format_RGB888).save(folder + "title.bmp", "BMP") &&
                   kinaru::logoPicture().toImage().convertToFormat(QImage::Format_RGB888).save(folder + "logo.bmp", "BMP");
    if (!written) std::fprintf(stderr, "kinaru-pictures: cannot write into %s\n", argv[1]);
    return written ? 0 : 1;
}
