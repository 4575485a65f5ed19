// The -n0 progress window inside a Qt application: parented to the owner,
// the caller's thread stays responsive, and its cancel button leaves
// nothing behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <thread>

#include "progress_window.h"
#include "support.h"

namespace {

using namespace sfxtest;

// The progress window, if one is up.
QDialog* progressWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible() && d->findChild<QProgressBar*>()) return d;
    return nullptr;
}

// Sees every progress window that is shown, however briefly, and the
// caller's event loop ticking. Presses "中止" once the bar has reached
// cancelAt per mille (0: as the window appears, before the work can have
// finished however fast it is).
struct Watch : QObject {
    Watch(QWidget* owner, int cancelAt) : owner(owner), cancelAt(cancelAt) {
        qApp->installEventFilter(this);
        connect(&timer, &QTimer::timeout, this, [this] { ++ticks, look(progressWindow()); });
        timer.start(5);
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show) look(qobject_cast<QDialog*>(o));
        return false;
    }
    void look(QDialog* d) {
        if (!d || !d->findChild<QProgressBar*>()) return;
        shown = true, parented = parented || d->parentWidget() == owner;
        if (auto* l = d->findChild<QLabel*>(); l && !l->text().isEmpty()) name = l->toolTip();
        if (cancelAt < 0 || cancelled || d->findChild<QProgressBar*>()->value() < cancelAt) return;
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("中止")) b->click(), cancelled = true;
    }
    QWidget* owner;
    int cancelAt, ticks = 0;
    bool shown = false, parented = false, cancelled = false;
    QString name;  // a file name the window showed
    QTimer timer;
};

// Run to the end the window comes and goes and the result is the plain
// call's; cancelled, x leaves neither a file nor its temporary, s neither
// NAME nor its temporary, and a long a keeps the old archive and leaves
// nothing in its work folder. A listing shows no window, nor does a call
// from a thread that is not the application's.
TEST(ProgressWindow, ShownForEachCommandAndCancelLeavesNothing) {
    QWidget owner;
    owner.show();
    TempDir tmp;
    auto at = [&](const char* name) { return tmp.path() / name; };
    writeFile(at("d/f/一.txt"), textBytes(3 << 20, 11));
    writeFile(at("d/f/二.txt"), textBytes(1 << 20, 12));
    writeFile(at("d/大きい.txt"), textBytes(24 << 20, 9));
    writeFile(at("d/old.txt"), "the archive as it was\n");
    ASSERT_EQ(call(at("d"), "a -n1 ../old.lzh old.txt"), 0);
    const std::string old = readFile(at("old.lzh")), p = q(at("p.lzh"));
    for (auto n : {"x", "x-cancel", "s-cancel", "work"}) fs::create_directories(at(n));
    struct Case {
        const char *where, *noFiles;
        std::string cmd;
        int cancelAt, code;
        bool onThread = false;
    } cases[] = {
        {"d", "", "a -n0 -x1 -r2 " + p + " \"f/*.*\"", -1, 0},
        {"d", "", "t -n0 " + p, -1, 0},
        {"x", "", "x -n0 -x1 " + p, -1, 0},
        {"", "", "s -n0 -linux -ji1 -gu1 " + p, -1, 0},
        {"", "", "l -n0 " + p, -1, 0},
        {"", "", "t -n0 " + p, -1, 0, true},
        {"x-cancel", "x-cancel", "x -n0 " + p, 0, UNLHA_ERR_CANCELLED},
        {"s-cancel", "s-cancel", "s -n0 -linux -ji1 -gu1 " + p, 0, UNLHA_ERR_CANCELLED},
        {"d", "work", "a -n0 -x1 -w" + at("work").string() + "/ -jm4 ../old.lzh 大きい.txt", 1, UNLHA_ERR_CANCELLED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cmd);
        Watch seen(&owner, c.cancelAt);
        std::string text;
        std::atomic<int> rc = -1;
        auto run = [&] { rc = call(at(c.where), c.cmd, &text, reinterpret_cast<void*>(owner.winId())); };
        if (c.onThread) {
            std::thread t(run);
            while (rc == -1) QApplication::processEvents();
            t.join();
        } else {
            run();
        }
        EXPECT_EQ(rc, c.code) << text;
        EXPECT_EQ(seen.cancelled, c.code != 0);
        const bool window = c.cmd[0] != 'l' && !c.onThread;
        EXPECT_EQ(std::pair(seen.shown, seen.parented), std::pair(window, window));
        EXPECT_TRUE(!*c.noFiles || tree(at(c.noFiles)).empty()) << "no file, no temporary";
        EXPECT_EQ(progressWindow(), nullptr) << "the window is gone";
        if (c.cancelAt <= 0) continue;
        EXPECT_GT(seen.ticks, 2) << "the caller's event loop ran during the call";
        EXPECT_EQ(seen.name, QStringLiteral("大きい.txt"));
    }
    EXPECT_EQ(treeDiff(tree(at("d/f")), tree(at("x/f"))), "");
    EXPECT_TRUE(fs::exists(at("p")));
    EXPECT_EQ(readFile(at("old.lzh")), old);
    EXPECT_EQ(temps(tmp.path()), "");
}

// The caller's own cancel (the self-extractor's, on a signal) stops a run
// with the window as its button does, leaving nothing.
TEST(ProgressWindow, TheCallersCancelStopsItToo) {
    TempDir tmp;
    writeFile(tmp.path() / "a.txt", textBytes(1 << 20, 11));
    ASSERT_EQ(call(tmp.path(), "a -n1 p.lzh a.txt"), 0);
    fs::create_directories(tmp.path() / "x");
    archive::Options o;
    o.command = 'x', o.archive = (tmp.path() / "p.lzh").string(), o.items = {(tmp.path() / "x/").string()};
    o.cancelled = [] { return true; };
    std::string text;
    EXPECT_EQ(progress::runWithWindow(nullptr, o, text), UNLHA_ERR_CANCELLED) << text;
    EXPECT_TRUE(tree(tmp.path() / "x").empty());
}

}  // namespace
