#include "workunit.h"

#include "dialogs/forms.h"
#include "dialogs/directorylist.h"
#include "core/itemlist.h"
#include "dialogs/layout.h"
#include "dialogs/rows.h"
#include "dialogs/mainunit.h"
#include "platform/files.h"
#include "platform/qt/localtext.h"
#include "platform/qt/shell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace kinaru {

namespace {

constexpr int kCollapsedHeight = 53;
constexpr int kExpandedHeight = 272;
const char* const kUriList = "text/uri-list";

// Entries keep their bytes beside the text shown, which may have lost some.
constexpr int kBytesRole = Qt::UserRole;

QFrame* verticalBevel(int left, int top, QWidget* parent) {
    auto* bevel = new QFrame(parent);
    bevel->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    bevel->setGeometry(left, top, 2, 20);
    return bevel;
}

}  // namespace

TForm2::TForm2(AppContext& context) : Form(context) {
    setWindowTitle(QStringLiteral("Kinaru - ﾌｧｲﾙ圧縮"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(464, 247);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 464, 28);
    Label1 = label(QStringLiteral("出力"), 4, 8, Panel1);
    Compress = new QPushButton(QStringLiteral("圧縮"), Panel1);
    Compress->setGeometry(372, 4, 57, 21);
    // Never the dialog's default button, so Enter in the list or the options
    // starts nothing; keyPressEvent lets Enter press it when it has the focus.
    Compress->setAutoDefault(false);
    Expand = new QToolButton(Panel1);
    Expand->setGeometry(436, 4, 21, 21);
    Expand->setArrowType(Qt::DownArrow);
    Expand->setCheckable(true);
    Expand->setAutoRaise(true);
    Expand->setFocusPolicy(Qt::TabFocus);
    Expand->setToolTip(QStringLiteral("このﾎﾞﾀﾝを押すと、細かい設定等ができます。"));
    Expand->setAccessibleName(Expand->toolTip());
    lzhfiles = new QComboBox(Panel1);
    lzhfiles->setGeometry(32, 4, 325, 20);
    lzhfiles->setEditable(true);
    // Enter presses Compress; it must not also add the typed text as an item.
    lzhfiles->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is used as typed: a completer would turn a typed name into
    // a candidate that differs from it in case only, another file here.
    lzhfiles->setCompleter(nullptr);
    lzhfiles->setEditText(QStringLiteral("lzhfiles"));
    lzhfiles->setItemDelegate(new DesignedRows(12, lzhfiles));
    lzhfiles->lineEdit()->setAcceptDrops(false);
    lzhfiles->installEventFilter(this);
    lzhfiles->lineEdit()->installEventFilter(this);
    Bevel1 = verticalBevel(364, 4, Panel1);
    Bevel2 = verticalBevel(361, 4, Panel1);

    Label5 = label(QStringLiteral("TOP"), 4, 230, this);
    TopDir = new QLineEdit(this);
    TopDir->setGeometry(28, 227, 197, 20);
    TopDir->setReadOnly(true);
    TopDir->setAcceptDrops(false);
    QPalette face = TopDir->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    TopDir->setPalette(face);

    files = new QListWidget(this);
    files->setGeometry(0, 28, 249, 197);
    files->setUniformItemSizes(true);
    files->setItemDelegate(new DesignedRows(12, files));
    files->setAcceptDrops(false);
    files->setAccessibleName(QStringLiteral("圧縮するﾌｧｲﾙ"));

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setGeometry(228, 228, 21, 19);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setAccessibleName(QStringLiteral("TOPのﾌｫﾙﾀﾞを開く"));
    TopDir->setAccessibleName(Label5->text());

    Panel2 = new QFrame(this);
    Panel2->setGeometry(252, 27, 213, 220);
    Panel2->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel3 = new QLabel(QStringLiteral("ｵﾌﾟｼｮﾝ"), Panel2);
    Panel3->setGeometry(2, 2, 209, 17);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel3->setAutoFillBackground(true);
    QPalette heading = Panel3->palette();
    heading.setColor(QPalette::Window, heading.color(QPalette::Active, QPalette::Highlight));
    heading.setColor(QPalette::WindowText, Qt::white);
    Panel3->setPalette(heading);
    SelfExt = new QCheckBox(QStringLiteral("自動解凍書庫化"), Panel2);
    SelfExt->setGeometry(8, 28, 109, 17);
    WinSFX = new QCheckBox(QStringLiteral("WinSFX"), Panel2);
    WinSFX->setGeometry(20, 48, 73, 17);
    WinSFX->setEnabled(false);

    setTabOrder(Compress, lzhfiles);
    setTabOrder(lzhfiles, TopDir);
    setTabOrder(TopDir, files);
    setTabOrder(files, SelfExt);
    setTabOrder(SelfExt, WinSFX);
    // Last, so the designed order stays whole; reached by keys all the same.
    setTabOrder(WinSFX, Expand);

    connect(Compress, &QPushButton::clicked, this, [this] { guard([this] { CompressClick(); }); });
    connect(Expand, &QToolButton::clicked, this, [this] { guard([this] { ExpandClick(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { guard([this] { SpeedButton1Click(); }); });
    connect(SelfExt, &QCheckBox::toggled, this, [this] { guard([this] { SelfExtClick(); }); });
    connect(WinSFX, &QCheckBox::toggled, this, [this] { guard([this] { WinSFXClick(); }); });
}

void TForm2::FormCreate() {
    setAcceptDrops(true);
    SetOuterHeight(kCollapsedHeight);
}

std::string TForm2::GetLongFileName(const std::string& path) const { return longFileName(path); }

void TForm2::appendFileEntry(const std::string& entry) {
    auto* item = new QListWidgetItem(fromLocal(entry));
    item->setData(kBytesRole, QByteArray::fromStdString(entry));
    files->addItem(item);
}

void TForm2::FormShow() {
    const std::optional<Method> method = context().settings.method;
    if (method) setWindowTitle(windowTitle() + QStringLiteral(" - ") + QString::fromLatin1(methodName(*method)));

    list_.fill(context().arguments, context().settings.outputFolder);
    for (const std::string& entry : list_.entries()) appendFileEntry(entry);
    for (const std::string& candidate : list_.candidates())
        lzhfiles->addItem(fromLocal(candidate), QByteArray::fromStdString(candidate));
    TopDir->setText(fromLocal(topDirText()));
    if (lzhfiles->count() > 0) lzhfiles->setCurrentIndex(0);
}

void TForm2::FormHide() {
    // A store that fails still ends the program once its error has been shown;
    // without a visible window the process would otherwise linger.
    guard([] { Form1->WriteIni(); });
    Form1->Close();
}

void TForm2::WMDropFiles(const QMimeData& drop) {
    raise();
    activateWindow();
    for (const std::string& path : localPathsOfUriList(drop.data(kUriList).toStdString())) {
        if (std::optional<std::string> entry = list_.drop(path)) appendFileEntry(*entry);
    }
}

void TForm2::ExpandClick() { SetOuterHeight(Expand->isChecked() ? kExpandedHeight : kCollapsedHeight); }

void TForm2::SelfExtClick() {
    if (SelfExt->isChecked()) {
        WinSFX->setEnabled(true);
        if (context().settings.method == Method::LH7) WinSFX->setChecked(true);
    } else {
        WinSFX->setEnabled(false);
    }
}

void TForm2::WinSFXClick() {
    // The LH7 self-extractor exists only as the window type.
    if (context().settings.method == Method::LH7) WinSFX->setChecked(true);
}

void TForm2::SpeedButton1Click() {
    if (!topFolder()) return;
    // A top folder from relative items is relative to the current folder,
    // which the file manager, a program of its own, does not share.
    std::string folder = *topFolder();
    if (folder.empty() || folder.front() != '/') {
        std::string current = platform::currentDirectory();
        folder = current + (current.ends_with('/') ? "" : "/") + folder;
    }
    context().shell.openFolder(folder);
}

bool TForm2::lzhfilesKeyDown(int key, Qt::KeyboardModifiers) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    Compress->click();
    return true;
}

std::vector<std::string> TForm2::fileEntries() const {
    std::vector<std::string> entries;
    entries.reserve(std::size_t(files->count()));
    for (int row = 0; row < files->count(); ++row)
        entries.push_back(files->item(row)->data(kBytesRole).toByteArray().toStdString());
    return entries;
}

std::string TForm2::archivePath() const {
    QString text = lzhfiles->currentText();
    if (!archivePathShown_.isNull() && text == archivePathShown_) return archivePathBytes_;
    int index = lzhfiles->currentIndex();
    if (index < 0 || lzhfiles->itemText(index) != text) index = lzhfiles->findText(text, Qt::MatchExactly);
    if (index >= 0) return lzhfiles->itemData(index).toByteArray().toStdString();
    return toLocal(text);
}

void TForm2::setArchivePath(const std::string& path) {
    archivePathBytes_ = path;
    archivePathShown_ = fromLocal(path);
    lzhfiles->setEditText(archivePathShown_);
}

CommandSwitches TForm2::commandSwitches(const std::string& workFolder) const {
    const Settings& settings = context().settings;
    return {settings.showProgress, settings.folderNames, workFolder, settings.method};
}

std::string TForm2::buildSelfExtractorCommand(const std::string& workFolder,
                                              const std::string& temporaryArchive) const {
    return selfExtractorCommand(commandSwitches(workFolder), WinSFX->isChecked(), temporaryArchive);
}

void TForm2::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(kUriList)) event->acceptProposedAction();
}

void TForm2::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasFormat(kUriList)) event->acceptProposedAction();
}

void TForm2::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    guard([this, event] { WMDropFiles(*event->mimeData()); });
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    // Enter elsewhere than on the focused button or in lzhfiles starts nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (focusWidget() == Compress) Compress->click();
        return;
    }
    Form::keyPressEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == lzhfiles || watched == lzhfiles->lineEdit()) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        bool taken = false;
        guard([&] { taken = lzhfilesKeyDown(key->key(), key->modifiers()); });
        return taken;
    }
    return Form::eventFilter(watched, event);
}

}  // namespace kinaru
