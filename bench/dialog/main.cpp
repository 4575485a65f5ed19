// Prints how long the compression dialog takes to fill itself from 20,000
// command-line items, to take a drop of 20,000 files with duplicates among
// them onto that list, and to build the archive command for up to 100,000
// items. Runs on Qt's offscreen platform in a temporary folder.
#include "dialogs/context.h"
#include "dialogs/forms.h"
#include "app/startup.h"
#include "base/compare.h"
#include "core/collationindex.h"
#include "core/commandlines.h"
#include "dialogs/workunit.h"
#include "platform/qt/shell.h"
#include "unlha/unlha.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <clocale>
#include <cstdio>
#include <fstream>

using namespace kinaru;

namespace {

class QuietShell : public Shell {
public:
    void errorBox(QWidget*, const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void messageBox(QWidget*, const QString&) override {}
    bool askYesNo(QWidget*, const QString&, bool) override { return false; }
    std::optional<std::string> chooseOpenFile(QWidget*, const std::string&) override { return {}; }
    std::optional<std::string> chooseSaveFile(QWidget*, const std::string&, const std::string&) override { return {}; }
    void openFolder(const std::string&) override {}
    void openUrl(const QString&) override {}
    void openDocument(const std::string&) override {}
};

double milliseconds(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

void touch(const std::string& path) { std::ofstream(path).put('x'); }

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::setlocale(LC_ALL, "");
    QApplication application(argc, argv);

    QTemporaryDir scratch;
    const std::string root = scratch.path().toStdString();
    const std::string data = root + "/data/";
    QDir().mkpath(QString::fromStdString(data + "sub"));

    constexpr int kCount = 20000;
    std::vector<std::string> arguments;
    for (int i = 0; i < kCount; ++i) {
        arguments.push_back(data + "listed_" + std::to_string(i) + ".txt");
        touch(arguments.back());
        touch(data + "sub/dropped_" + std::to_string(i) + ".txt");
    }

    QuietShell shell;
    Unlha unlha({root + "/no-library.so"});
    AppContext context{shell, unlha, root + "/kinaru", arguments};
    Startup startup(context);

    QElapsedTimer timer;
    timer.start();
    startup.chooseMode();
    double fill = milliseconds(timer);

    // A drop of 20,000 paths: 10,000 new files, 5,000 already listed, 5,000
    // already listed but spelt in other case, in that interleaved order.
    QList<QUrl> urls;
    for (int i = 0; i < kCount; ++i) {
        std::string path;
        switch (i % 4) {
            case 0:
            case 1: path = data + "sub/dropped_" + std::to_string(i) + ".txt"; break;
            case 2: path = data + "listed_" + std::to_string(i) + ".txt"; break;
            default: path = data + "LISTED_" + std::to_string(i) + ".TXT"; break;
        }
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
    }
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    timer.restart();
    QCoreApplication::sendEvent(Form2, &enter);
    QCoreApplication::sendEvent(Form2, &drop);
    QCoreApplication::processEvents();
    double dropped = milliseconds(timer);
    int listed = Form2->files->count();

    std::printf("fill from %d command-line items: %8.1f ms\n", kCount, fill);
    std::printf("drop of %d paths onto %d entries: %8.1f ms (list now %d entries, %d added)\n", kCount, kCount, dropped,
                listed, listed - kCount);

    // Finding duplicates costs the same per name however long the list is:
    // inserting into lists twice as long costs about the same per name.
    for (int size = 10000; size <= 80000; size *= 2) {
        std::vector<std::string> names;
        for (int i = 0; i < size; ++i) names.push_back("Folder/Name_" + std::to_string(i * 7919 % size) + ".txt");
        CollationIndex index;
        timer.restart();
        for (const std::string& name : names) index.insert(name);
        for (const std::string& name : names) index.contains("folder/NAME_" + name.substr(12));
        double spent = milliseconds(timer);
        std::printf(
            "duplicate index, %6d names inserted and looked up again in other case: %7.1f ms, %5.2f us per name\n",
            size, spent, spent * 1e3 / size);
    }

    CommandSwitches switches{true, true, "/tmp/", Method::LH5};
    for (int items = 12500; items <= 100000; items *= 2) {
        std::vector<std::string> names;
        for (int i = 0; i < items; ++i)
            names.push_back("folder_" + std::to_string(i % 100) + "/file_" + std::to_string(i) + ".txt");
        double best = 1e9;
        std::size_t length = 0;
        for (int round = 0; round < 5; ++round) {
            timer.restart();
            std::string command = archiveCommand(switches, "/out/archive.lzh", names);
            best = std::min(best, milliseconds(timer));
            length = command.size();
        }
        std::printf("archive command, %6d items: %7.2f ms, %5.1f ns per item, %zu bytes\n", items, best,
                    best * 1e6 / items, length);
    }
    delete mime;
    return listed == kCount + kCount / 2 ? 0 : 1;
}
