#include "progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include "command/command.h"
#include "progress_state.h"

namespace progress {

namespace {

class Window : public QDialog {
public:
    Window(QWidget* parent, Shared& shared, char command) : QDialog(parent), shared_(shared) {
        setWindowTitle(QString::fromUtf8(titleFor(command)));
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        // Modal to the whole application: the caller is blocked in its call,
        // so no other of its controls may start a second run meanwhile.
        setWindowModality(Qt::ApplicationModal);
        auto* lay = new QVBoxLayout(this);
        name_ = new QLabel(this);
        name_->setMinimumWidth(360);
        bar_ = new QProgressBar(this);
        bar_->setRange(0, 1000);
        bar_->setValue(0);
        button_ = new QPushButton(QStringLiteral("中止"), this);
        button_->setObjectName(QStringLiteral("cancel"));
        lay->addWidget(name_);
        lay->addWidget(bar_);
        lay->addWidget(button_, 0, Qt::AlignHCenter);
        connect(button_, &QPushButton::clicked, this, [this] { reject(); });
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] { refresh(); });
        timer->start(50);
    }

    // Escape, the close box and the button all cancel; the window stays
    // until the worker has stopped.
    void reject() override {
        shared_.cancel = true;
        button_->setEnabled(false);
        button_->setText(QStringLiteral("中止しています…"));
    }

protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        reject();
    }

private:
    void refresh() {
        Snapshot now = shared_.read();
        QString n = QString::fromLocal8Bit(now.name.c_str());
        if (n != shown_) {
            shown_ = n;
            name_->setText(name_->fontMetrics().elidedText(n, Qt::ElideMiddle, name_->width()));
            name_->setToolTip(n);
        }
        bar_->setValue(now.permille);
    }

    Shared& shared_;
    QLabel* name_;
    QProgressBar* bar_;
    QPushButton* button_;
    QString shown_;
};

}  // namespace

bool canShowWindows() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

int runWithWindow(QWidget* parent, const archive::Options& opt, std::string& text) {
    Shared shared;
    Window window(parent, shared, opt.command);
    QEventLoop loop;
    window.show();
    // Queued: wakes the loop even if it has not started spinning yet.
    Worker worker(shared, opt, [&loop] { QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection); });
    loop.exec();
    int rc = worker.result(text);
    window.hide();
    return rc;
}

int run(void* owner, const archive::Options& opt, std::string& text) {
    // A listing is over before a window could be read.
    if (!canShowWindows() || opt.command == 'l') return command::run(opt, text);
    QWidget* parent = owner ? QWidget::find(reinterpret_cast<WId>(owner)) : nullptr;
    return runWithWindow(parent, opt, text);
}

}  // namespace progress
