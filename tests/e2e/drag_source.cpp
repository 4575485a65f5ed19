// A window that drags the files named on its command line as a file manager
// does (text/uri-list over XDND) as soon as a mouse button goes down on it,
// so that a script can drop them onto another program with xdotool.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

class DragSource : public QLabel {
public:
    using QLabel::QLabel;
    QList<QUrl> urls;

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(urls);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DragSource window(QStringLiteral("drag source"));
    for (const QString& path : app.arguments().mid(1)) window.urls << QUrl::fromLocalFile(path);
    window.setWindowTitle(QStringLiteral("drag-source"));
    window.setGeometry(0, 0, 200, 120);
    window.show();
    return app.exec();
}
