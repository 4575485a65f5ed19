// The window face: asks for the destination, shows progress, asks before
// overwriting and closes with a message saying what happened.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <optional>

#include "archive/fsutil.h"
#include "unlha32.h"
#include "extract.h"
#include "sfx/texts.h"

namespace stub {

namespace {

const QString kTitle = QStringLiteral("自己解凍");

// Under --unattended every box is answered by a click once it is up, so the
// real widgets run and nobody has to be there.
int execBox(QDialog& box, bool unattended, const std::function<void()>& click) {
    if (unattended) QTimer::singleShot(0, &box, click);
    return box.exec();
}

class DestinationDialog : public QDialog {
public:
    DestinationDialog(const Self& self, const QString& dest) {
        setWindowTitle(kTitle);
        auto* lay = new QVBoxLayout(this);
        QString name = QString::fromLocal8Bit(self.path.c_str()).section('/', -1);
        lay->addWidget(
            new QLabel(QStringLiteral("「%1」を解凍します。解凍先のフォルダを指定してください。").arg(name), this));
        if (self.trailer.style == 4) lay->addWidget(new QLabel(QStringLiteral("ファイル数: %1").arg(self.files), this));
        auto* row = new QHBoxLayout;
        edit_ = new QLineEdit(dest, this);
        edit_->setMinimumWidth(320);
        auto* browse = new QPushButton(QStringLiteral("参照..."), this);
        row->addWidget(edit_);
        row->addWidget(browse);
        lay->addLayout(row);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("解凍"));
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
        lay->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(browse, &QPushButton::clicked, this, [this] {
            QString d = QFileDialog::getExistingDirectory(this, QStringLiteral("解凍先"), edit_->text());
            if (!d.isEmpty()) edit_->setText(d);
        });
    }
    QString destination() const { return edit_->text().trimmed(); }

private:
    QLineEdit* edit_;
};

}  // namespace

int runWindow(const Self& self, const Args& args, int argc, char** argv) {
    QApplication app(argc, argv);
    // The program's face: its Japanese font where the machine has it.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), font.family()});
    font.setPixelSize(12);
    QApplication::setFont(font);
    const QString home = QString::fromLocal8Bit(archive::dirName(self.path).c_str());
    DestinationDialog destDialog(self, args.dest.empty() ? home : QString::fromLocal8Bit(args.dest.c_str()));
    if (execBox(destDialog, args.unattended, [&] { destDialog.accept(); }) != QDialog::Accepted) {
        if (args.unattended) std::printf("キャンセルしました。\n");
        return 1;
    }
    QString dest = destDialog.destination();
    if (dest.isEmpty()) dest = home;

    std::optional<bool> forAll;  // "すべて上書き" / "すべて残す"
    auto ask = [&](const std::string& name) {
        if (forAll) return *forAll;
        if (args.overwrite && !args.unattended) return *args.overwrite;
        QMessageBox box(
            QMessageBox::Question, kTitle,
            QStringLiteral("「%1」は既にあります。上書きしますか?").arg(QString::fromLocal8Bit(name.c_str())),
            QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("上書き"));
        box.button(QMessageBox::YesToAll)->setText(QStringLiteral("すべて上書き"));
        box.button(QMessageBox::No)->setText(QStringLiteral("残す"));
        box.button(QMessageBox::NoToAll)->setText(QStringLiteral("すべて残す"));
        box.setDefaultButton(QMessageBox::No);
        bool scripted = args.overwrite.value_or(false);
        execBox(box, args.unattended, [&] { box.button(scripted ? QMessageBox::Yes : QMessageBox::No)->click(); });
        auto b = box.standardButton(box.clickedButton());
        if (b == QMessageBox::YesToAll || b == QMessageBox::NoToAll) forAll = b == QMessageBox::YesToAll;
        return b == QMessageBox::Yes || b == QMessageBox::YesToAll;
    };
    // Extraction runs on a worker; the question is put on this thread.
    auto askHere = [&](const std::string& name) {
        bool yes = false;
        QMetaObject::invokeMethod(
            &app, [&] { yes = ask(name); }, Qt::BlockingQueuedConnection);
        return yes;
    };
    Outcome out = extract(self, dest.toLocal8Bit().toStdString(), askHere, {}, true);

    QString message;
    if (out.rc == 0) {
        message = QString::fromStdString(sfx::texts::extracted(self.files - out.kept, dest.toStdString()));
        if (out.kept) message += "\n" + QString::fromStdString(sfx::texts::keptExisting(out.kept));
    } else if (out.rc == UNLHA_ERR_CANCELLED) {
        message = QString::fromUtf8(sfx::texts::kCancelledNothingLeft);
    } else {
        QStringList lines = QString::fromLocal8Bit(out.text.c_str()).split('\n', Qt::SkipEmptyParts);
        message = QString::fromStdString(sfx::texts::failed(out.rc)) + "\n\n" +
                  lines.mid(lines.size() > 12 ? lines.size() - 12 : 0).join('\n');
    }
    if (args.unattended) std::printf("%s\n", message.toLocal8Bit().constData());
    QMessageBox done(out.rc ? QMessageBox::Warning : QMessageBox::Information, kTitle, message, QMessageBox::Ok);
    execBox(done, args.unattended, [&] { done.accept(); });
    return out.rc ? 1 : 0;
}

}  // namespace stub
