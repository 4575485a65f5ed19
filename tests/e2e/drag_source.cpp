// A window that drags the files named on its command line as a file manager
// does (text/uri-list over XDND) as soon as a mouse button goes down on it,
// so that a script can drop them onto another program with xdotool.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {

class DragSource : public QLabel {
public:
    explicit DragSource(QList<QUrl> urls) : QLabel(QStringLiteral("drag source")), urls_(std::move(urls)) {
        setWindowTitle(QStringLiteral("drag-source"));
        resize(200, 120);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(urls_);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (const QString& path : app.arguments().mid(1)) urls << QUrl::fromLocalFile(path);
    DragSource window(urls);
    window.move(0, 0);
    window.show();
    return app.exec();
}
