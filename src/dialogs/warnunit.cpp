#include "warnunit.h"

#include "base/paths.h"
#include "core/compressrun.h"
#include "dialogs/forms.h"
#include "dialogs/layout.h"
#include "dialogs/mainunit.h"
#include "platform/entries.h"
#include "platform/fileops.h"
#include "platform/qt/localtext.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace kinaru {

namespace {

QPushButton* button(const QString& text, const QString& hint, int top, QWidget* parent) {
    auto* result = new QPushButton(text, parent);
    result->setGeometry(304, top, 85, 21);
    result->setToolTip(hint);
    result->setAutoDefault(false);
    return result;
}

}  // namespace

TForm3::TForm3(AppContext& context) : Form(context) {
    setWindowTitle(QStringLiteral("同じ名前のファイルを見つけました。"));
    // No close box: the four buttons are the ways out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(401, 118);
    move(206, 117);
    setModal(true);

    Image1 = new QLabel(this);
    Image1->setGeometry(4, 4, 32, 32);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(32, 32));
    Label3 = label(QStringLiteral("出力ファイルと同じ名前のファイルがすでに"), 40, 8, this);
    Label4 = label(QStringLiteral("存在しています。処理を選択してください。"), 40, 20, this);
    Label1 = label(QStringLiteral("現在のﾌｧｲﾙ名"), 12, 44, this);
    Current = new QLineEdit(this);
    Current->setGeometry(24, 56, 261, 20);
    Current->setReadOnly(true);
    QPalette face = Current->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    Current->setPalette(face);
    Label2 = label(QStringLiteral("このﾌｧｲﾙ名に変更して続行"), 16, 80, this);
    Change = new QLineEdit(this);
    Change->setGeometry(24, 92, 233, 20);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setGeometry(264, 92, 21, 21);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setAccessibleName(QStringLiteral("参照"));
    Current->setAccessibleName(Label1->text());
    Change->setAccessibleName(Label2->text());

    Button1 = button(QStringLiteral("圧縮中止"), QStringLiteral("圧縮を中断します"), 8, this);
    Button2 =
        button(QStringLiteral("上書き続行"), QStringLiteral("元からあるﾌｧｲﾙに(追加)上書きして続行します"), 36, this);
    Button3 = button(QStringLiteral("削除続行"), QStringLiteral("元からあるﾌｧｲﾙを削除して続行します"), 64, this);
    Button4 = button(QStringLiteral("ﾌｧｲﾙ名変更"), QStringLiteral("ﾌｧｲﾙ名を変更して続行します"), 92, this);

    setTabOrder(Current, Change);
    setTabOrder(Change, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);

    connect(Button1, &QPushButton::clicked, this, [this] { answer(SameNameAnswer::Abandon); });
    connect(Button2, &QPushButton::clicked, this, [this] { answer(SameNameAnswer::Continue); });
    connect(Button3, &QPushButton::clicked, this, [this] { answer(SameNameAnswer::DeleteAndContinue); });
    connect(Button4, &QPushButton::clicked, this, [this] { guard([this] { Button4Click(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { guard([this] { SpeedButton1Click(); }); });
    Change->installEventFilter(this);
}

// The settings are loaded here, once all three dialogs exist, so that the
// stored positions override the designed ones.
void TForm3::FormCreate() { Form1->ReadIni(); }

std::string TForm3::currentText() const { return toLocal(Current->text()); }
std::string TForm3::changeText() const { return toLocal(Change->text()); }
void TForm3::setCurrentText(const std::string& path) { Current->setText(fromLocal(path)); }
void TForm3::setChangeText(const std::string& path) { Change->setText(fromLocal(path)); }

void TForm3::Button4Click() {
    NameCheck check = checkNewName(changeText(), currentText());
    setChangeText(check.name);
    switch (check.verdict) {
        case NameVerdict::Refused:
            context().shell.messageBox(this, QStringLiteral("ﾌｧｲﾙ名が正しくありません。"));
            break;
        case NameVerdict::FolderMissing:
            if (context().shell.askYesNo(this, QStringLiteral("出力ディレクトリがありません。作成しますか？"), false)) {
                if (createFolders(folderPart(check.name)))
                    answer(SameNameAnswer::Rename);
                else
                    context().shell.messageBox(this, fromLocal(folderMessage(folderPart(check.name))));
            } else {
                answer(SameNameAnswer::Abandon);
            }
            break;
        case NameVerdict::Exists: context().shell.messageBox(this, QStringLiteral("同名ファイルが存在します。")); break;
        case NameVerdict::Accepted: answer(SameNameAnswer::Rename); break;
    }
}

void TForm3::SpeedButton1Click() {
    std::string extension = extensionPart(currentText());
    if (!extension.empty()) extension.erase(0, 1);
    auto chosen = context().shell.chooseSaveFile(this, lastBrowsed_, extension);
    if (!chosen) return;
    lastBrowsed_ = *chosen;
    setChangeText(*chosen);
}

void TForm3::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    // The first control that takes input, where Enter acts; not the
    // read-only path above it.
    Change->setFocus(Qt::OtherFocusReason);
}

void TForm3::closeEvent(QCloseEvent* event) {
    // Closed by the window system without a choice: the run is abandoned.
    Form::closeEvent(event);
    if (isVisible()) answer(SameNameAnswer::Abandon);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Change && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Button4->click();
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

}  // namespace kinaru
