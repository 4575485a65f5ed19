// The -n0 progress window inside a Qt application: parented to the owner,
// the caller's thread stays responsive, and its cancel button leaves
// nothing behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <thread>

#include "support.h"
#include "unlha32.h"

namespace {

using namespace sfxtest;

// The progress window, if one is up.
QDialog *progressWindow() {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *d = qobject_cast<QDialog *>(w);
        if (d && d->isVisible() && d->findChild<QProgressBar *>()) return d;
    }
    return nullptr;
}

class ProgressWindow : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.setWindowTitle("owner");
        owner_.resize(200, 100);
        owner_.show();
        fs::create_directories(dir());
    }
    fs::path dir() const { return tmp_.path() / "d"; }
    void *ownerId() { return reinterpret_cast<void *>(owner_.winId()); }

    QWidget owner_;
    TempDir tmp_;
};

// What a watcher saw of the window while the call ran.
struct Seen {
    int ticks = 0;            // timer ticks in the caller's thread
    bool parented = false;    // the window's parent was the owner
    bool cancelled = false;   // the cancel button was pressed
    QString name;             // a file name the window showed
    int bar = 0;              // the highest bar value
};

// Sees every progress window that is shown, however briefly.
class ShowSpy : public QObject {
public:
    // With `cancel` the window's "中止" is pressed as it appears, before the
    // work can have finished however fast it is.
    ShowSpy(Seen &seen, QWidget *owner, bool cancel = false) : seen_(seen), owner_(owner), cancel_(cancel) {
        qApp->installEventFilter(this);
    }
    ~ShowSpy() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *o, QEvent *e) override {
        auto *d = qobject_cast<QDialog *>(o);
        if (e->type() == QEvent::Show && d && d->findChild<QProgressBar *>()) {
            seen_.parented = seen_.parented || d->parentWidget() == owner_;
            if (cancel_ && !seen_.cancelled) {
                d->findChild<QPushButton *>()->click();
                seen_.cancelled = true;
            }
        }
        return false;
    }

private:
    Seen &seen_;
    QWidget *owner_;
    bool cancel_;
};

// Watches the window every few milliseconds; with `cancelAt` >= 0 presses
// "中止" once the bar has reached that value (per mille).
void watch(QTimer &timer, Seen &seen, QWidget *owner, int cancelAt) {
    QObject::connect(&timer, &QTimer::timeout, [&seen, owner, cancelAt] {
        ++seen.ticks;
        QDialog *w = progressWindow();
        if (!w) return;
        seen.parented = seen.parented || w->parentWidget() == owner;
        if (auto *l = w->findChild<QLabel *>(); l && !l->text().isEmpty()) seen.name = l->toolTip();
        int v = w->findChild<QProgressBar *>()->value();
        seen.bar = std::max(seen.bar, v);
        if (cancelAt >= 0 && !seen.cancelled && v >= cancelAt) {
            for (QPushButton *b : w->findChildren<QPushButton *>())
                if (b->text() == QStringLiteral("中止")) {
                    b->click();
                    seen.cancelled = true;
                }
        }
    });
    timer.start(5);
}

TEST_F(ProgressWindow, CancellingALongAddKeepsTheOldArchive) {
    writeFile(dir() / "old.txt", "the archive as it was\n");
    fs::path lzh = tmp_.path() / "archive.lzh";
    ASSERT_EQ(run(dir(), "a -n1 " + q(lzh) + " old.txt"), 0);
    const std::string before = readFile(lzh);
    fs::path work = tmp_.path() / "work";
    fs::create_directories(work);
    writeFile(dir() / "大きい.txt", textBytes(24 << 20, 9));

    QTimer timer;
    Seen seen;
    watch(timer, seen, &owner_, 1);
    std::string text;
    int rc = run(dir(), "a -n0 -x1 -w" + work.string() + "/ -jm4 " + q(lzh) + " 大きい.txt", &text, ownerId());
    timer.stop();
    EXPECT_EQ(rc, UNLHA_ERR_CANCELLED) << text;
    EXPECT_TRUE(seen.cancelled);
    EXPECT_TRUE(seen.parented);
    EXPECT_GT(seen.ticks, 2) << "the caller's event loop ran during the call";
    EXPECT_EQ(seen.name, QStringLiteral("大きい.txt"));
    EXPECT_EQ(readFile(lzh), before);
    EXPECT_TRUE(fs::is_empty(work)) << "no temporary file left in the work folder";
    EXPECT_TRUE(tempFiles(tmp_.path()).empty());
    EXPECT_EQ(progressWindow(), nullptr) << "the window is gone";
}

// Cancelled as the window appears: x leaves neither the file nor its
// temporary, s neither NAME nor its temporary; the archive stays.
TEST_F(ProgressWindow, CancellingExtractionOrSelfExtractorLeavesNothing) {
    writeFile(dir() / "大きい.txt", randomBytes(4 << 20, 10));
    fs::path lzh = tmp_.path() / "big.lzh";
    ASSERT_EQ(run(dir(), "a -n1 -jm2 " + q(lzh) + " 大きい.txt"), 0);
    const std::string before = readFile(lzh);
    for (std::string cmd : {"x -n0 ", "s -n0 -linux -ji1 -gu1 "}) {
        SCOPED_TRACE(cmd);
        TempDir out;
        Seen seen;
        ShowSpy spy(seen, &owner_, true);
        EXPECT_EQ(run(out.path(), cmd + q(lzh), nullptr, ownerId()), UNLHA_ERR_CANCELLED);
        EXPECT_TRUE(seen.cancelled);
        EXPECT_TRUE(fs::is_empty(out.path()));
        EXPECT_EQ(readFile(lzh), before);
    }
}

// Run to the end: the bar fills, the result is the plain call's.
TEST_F(ProgressWindow, ShowsProgressForEachCommand) {
    writeFile(dir() / "f/一.txt", textBytes(3 << 20, 11));
    writeFile(dir() / "f/二.txt", textBytes(1 << 20, 12));
    fs::path lzh = tmp_.path() / "p.lzh";
    fs::path dest = tmp_.path() / "x";
    fs::create_directories(dest);
    struct Step {
        fs::path where;
        std::string cmd;
    } steps[] = {
        {dir(), "a -n0 -x1 -r2 " + q(lzh) + " \"f/*.*\""},
        {dir(), "t -n0 " + q(lzh)},
        {dest, "x -n0 -x1 " + q(lzh)},
        {tmp_.path(), "s -n0 -linux -ji1 -gu1 " + q(lzh)},
        {tmp_.path(), "l -n0 " + q(lzh)},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.cmd);
        QTimer timer;
        Seen seen;
        ShowSpy spy(seen, &owner_);
        watch(timer, seen, &owner_, -1);
        std::string text;
        EXPECT_EQ(run(s.where, s.cmd, &text, ownerId()), 0) << text;
        EXPECT_EQ(seen.parented, s.cmd[0] != 'l') << "a listing shows no window";
        EXPECT_FALSE(seen.cancelled);
    }
    EXPECT_EQ(treeDiff(tree(dir()), tree(dest)), "");
    EXPECT_TRUE(fs::exists(tmp_.path() / "p"));
}

// A call from a thread that is not the application's shows no window and
// still does the work.
TEST_F(ProgressWindow, OtherThreadsRunWithoutAWindow) {
    writeFile(dir() / "a.txt", "a");
    int rc = -1;
    bool sawWindow = false;
    std::thread t([&] { rc = run(dir(), "a -n0 " + q(tmp_.path() / "t.lzh") + " a.txt"); });
    while (rc == -1) {
        sawWindow = sawWindow || progressWindow();
        QApplication::processEvents();
    }
    t.join();
    EXPECT_EQ(rc, 0);
    EXPECT_FALSE(sawWindow);
}

// The tool holds the writer itself: it finds the stub beside its own program.
TEST(ToolSelfExtractor, FindsTheStubBesideTheProgram) {
    TempDir t;
    writeFile(t.path() / "f.txt", "tool\n");
    Result r = runIn(t.path(), std::string(UNLHA_TOOL) + " a a.lzh f.txt && " + UNLHA_TOOL + " s -linux -ji1 a.lzh && " +
                                   "mkdir run && cd run && env -u QT_QPA_PLATFORM ../a </dev/null");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(readFile(t.path() / "run/f.txt"), "tool\n");
}

// The tool's -n0: one rewritten line on a terminal, nothing otherwise.
TEST(ToolProgress, OnlyOnATerminal) {
    TempDir t;
    writeFile(t.path() / "f.txt", textBytes(200000, 3));
    Result plain = runIn(t.path(), std::string(UNLHA_TOOL) + " a -n0 a.lzh f.txt 2>err.txt >/dev/null; cat err.txt");
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.output, "");
    if (!haveProgram("script")) GTEST_SKIP() << "no script(1) for a terminal";
    Result tty = runIn(t.path(), "script -qec '" + std::string(UNLHA_TOOL) + " a -n0 b.lzh f.txt' /dev/null");
    EXPECT_EQ(tty.status, 0);
    EXPECT_NE(tty.output.find("100% f.txt"), std::string::npos) << tty.output;
}

} // namespace
