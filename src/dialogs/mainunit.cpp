#include "mainunit.h"

#include "base/errors.h"
#include "dialogs/forms.h"
#include "base/paths.h"
#include "core/compressrun.h"
#include "dialogs/directorylist.h"
#include "dialogs/drivelist.h"
#include "dialogs/gauge.h"
#include "dialogs/layout.h"
#include "dialogs/panelbutton.h"
#include "dialogs/pictures.h"
#include "dialogs/rows.h"
#include "dialogs/warnunit.h"
#include "core/webpages.h"
#include "dialogs/workunit.h"
#include "platform/files.h"
#include "platform/qt/localtext.h"
#include "platform/volumes.h"
#include "settings/inifile.h"
#include "settings/settings.h"
#include "unlha/unlha.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QAbstractItemView>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>
#include <unistd.h>

namespace kinaru {

namespace {

// A group of radio buttons is one stop in the tab order, at its checked
// button; the arrow keys move within it.
void oneTabStop(std::initializer_list<QRadioButton*> group) {
    for (QRadioButton* button : group) {
        auto follow = [button](bool checked) { button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus); };
        follow(button->isChecked());
        QObject::connect(button, &QRadioButton::toggled, button, follow);
    }
}

QFrame* bevelLine(int left, int top, int width, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(left, top, width, 2);
    return line;
}

// A raised panel with a picture filling it.
QFrame* picturePanel(const QRect& geometry, const QPixmap& picture, QLabel*& image, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    image = new QLabel(panel);
    image->setGeometry(1, 1, geometry.width() - 2, geometry.height() - 2);
    image->setScaledContents(true);
    image->setPixmap(picture);
    return panel;
}

void setButtonFaceLook(QLineEdit* edit, bool buttonFace) {
    QPalette colours = edit->palette();
    colours.setColor(QPalette::Base,
                     buttonFace ? edit->palette().color(QPalette::Button) : QPalette().color(QPalette::Base));
    edit->setPalette(colours);
}

constexpr std::int64_t kMebibyte = 1048576;
// The inner width of a page of the tab control, its frame taken off.
constexpr int kPageWidth = 273;

}  // namespace

QString libraryVersionText(unsigned version) { return QString::asprintf("Version %3.2f", version / 100.0); }

TForm1::TForm1(AppContext& context) : Form(context) {
    if (!context.volumes) systemVolumes_ = std::make_unique<SystemVolumes>();
    setWindowTitle(QStringLiteral("Kinaru Ver2.5"));
    // Left only through its two buttons: no close, minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(288, 290);
    move(0, 0);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(4, 4, 281, 261);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    TabSheet4 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("出力"));
    PageControl1->addTab(TabSheet2, QStringLiteral("圧縮ｵﾌﾟｼｮﾝ"));
    PageControl1->addTab(TabSheet3, QStringLiteral("ｼｽﾃﾑ"));
    PageControl1->addTab(TabSheet4, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    buildOutputPage();
    buildOptionsPage();
    buildSystemPage();
    buildVersionPage();
    PageControl1->setCurrentWidget(TabSheet2);

    // No button is the dialog's default: Enter acts only on a focused button.
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
    Button2 = new QPushButton(QStringLiteral("保存"), this);
    Button2->setGeometry(136, 268, 69, 21);
    Button3 = new QPushButton(QStringLiteral("中止"), this);
    Button3->setGeometry(212, 268, 69, 21);
    setTabOrder(PageControl1, Button2);
    setTabOrder(Button2, Button3);
    Button2->setAutoDefault(false);
    Button3->setAutoDefault(false);
    connectHandlers();
}

TForm1::~TForm1() = default;

void TForm1::connectHandlers() {
    auto handle = [this](auto handler) { return [this, handler] { guard([this, handler] { (this->*handler)(); }); }; };
    connect(Button1, &QPushButton::clicked, this, handle(&TForm1::Button1Click));
    connect(Button2, &QPushButton::clicked, this, handle(&TForm1::Button2Click));
    connect(Button3, &QPushButton::clicked, this, handle(&TForm1::Button3Click));
    connect(Button4, &QPushButton::clicked, this, handle(&TForm1::Button4Click));
    connect(UseDefault, &QCheckBox::toggled, this, handle(&TForm1::UseDefaultClick));
    connect(Panel2, &PanelButton::clicked, this, handle(&TForm1::Panel2Click));
    connect(Panel6, &PanelButton::clicked, this, handle(&TForm1::Panel6Click));
    connect(Panel5, &PanelButton::clicked, this, handle(&TForm1::Panel5Click));
    connect(Drive_Dst, &DriveList::driveChanged, this, handle(&TForm1::driveSelected));
    connect(Drive_Dst, &DriveList::exited, this, handle(&TForm1::Drive_DstExit));
    connect(Dir_Dst, &DirectoryList::directoryChanged, this, [this] { unreachableOutput_.reset(); });
    connect(Dir_Dst, &DirectoryList::directoryChanged, this, handle(&TForm1::folderEntered));
    connect(Dir_Dst, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        std::string folder = DirectoryList::folderOf(item);
        guard([this, &folder] { Dir_Dst->SetDirectory(folder); });
    });
}

const Volumes& TForm1::volumes() const { return context().volumes ? *context().volumes : *systemVolumes_; }

void TForm1::buildOutputPage() {
    Drive_Dst = new DriveList(volumes(), TabSheet1);
    Drive_Dst->setGeometry(12, 12, 249, 19);
    Dir_Dst = new DirectoryList(TabSheet1);
    Dir_Dst->setGeometry(12, 40, 249, 185);
    Dir_Dst->setAccessibleName(QStringLiteral("出力ﾌｫﾙﾀﾞ"));
    Dir_Dst->setItemDelegate(new DesignedRows(16, Dir_Dst));
    // Both start on the process's current folder.
    Drive_Dst->rememberFolder(Dir_Dst->Directory());
    Drive_Dst->SetDrive(Drive_Dst->volumeOf(Dir_Dst->Directory()));
}

void TForm1::buildOptionsPage() {
    QWidget* page = TabSheet2;
    ViewInfo = new QCheckBox(QStringLiteral("圧縮中に状況を表示する"), page);
    ViewInfo->setGeometry(12, 12, 157, 17);
    ViewInfo->setChecked(true);

    GroupBox2 = new QGroupBox(QStringLiteral("初期化"), page);
    GroupBox2->setGeometry(200, 0, 65, 45);
    Button4 = new QPushButton(QStringLiteral("初期化"), GroupBox2);
    Button4->setGeometry(8, 16, 49, 21);

    GroupBox1 = new QGroupBox(QStringLiteral("同名ファイル存在時の動作"), page);
    GroupBox1->setGeometry(8, 44, 257, 73);
    rWrite = new QRadioButton(QStringLiteral("消して作成"), GroupBox1);
    rWrite->setGeometry(12, 20, 81, 17);
    rAdd = new QRadioButton(QStringLiteral("そのまま上書き"), GroupBox1);
    rAdd->setGeometry(128, 20, 113, 17);
    rUserSelect = new QRadioButton(QStringLiteral("ﾀﾞｲｱﾛｸﾞ表示、ﾕｰｻﾞが選択"), GroupBox1);
    rUserSelect->setGeometry(12, 44, 161, 17);
    rUserSelect->setChecked(true);
    oneTabStop({rWrite, rAdd, rUserSelect});

    oDirectory = new QCheckBox(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ情報も格納する"), page);
    oDirectory->setGeometry(12, 124, 145, 17);
    oDirectory->setChecked(true);
    oOpenDist = new QCheckBox(QStringLiteral("圧縮後、出力ﾌｫﾙﾀﾞを開く"), page);
    oOpenDist->setGeometry(12, 144, 153, 17);

    Label1 = label(QStringLiteral("圧縮形式"), 12, 168, page);
    CompressVer = new QComboBox(page);
    CompressVer->setGeometry(72, 164, 193, 20);
    CompressVer->view()->setItemDelegate(new DesignedRows(12, CompressVer));
    CompressVer->addItems(
        {QStringLiteral("LH5(LHA2.13以降)"), QStringLiteral("LH6(LHA2.67以降)"), QStringLiteral("LH7(TEST)")});
    CompressVer->setCurrentIndex(-1);

    Label2 = label(QStringLiteral("作業ﾌｫﾙﾀﾞ"), 8, 192, page);
    UseDefault = new QCheckBox(QStringLiteral("標準の場所を使う"), page);
    UseDefault->setGeometry(72, 190, 113, 17);
    UseDefault->setChecked(true);
    WorkDirectory = new QLineEdit(page);
    WorkDirectory->setGeometry(20, 208, 189, 20);
    WorkDirectory->setEnabled(false);
    WorkDirectory->setAccessibleName(Label2->text());
    setButtonFaceLook(WorkDirectory, true);
    Button1 = new QPushButton(QStringLiteral("参照"), page);
    Button1->setGeometry(216, 208, 53, 21);
    Button1->setEnabled(false);

    setTabOrder(ViewInfo, rWrite);
    setTabOrder(rWrite, rAdd);
    setTabOrder(rAdd, rUserSelect);
    setTabOrder(rUserSelect, oDirectory);
    setTabOrder(oDirectory, oOpenDist);
    setTabOrder(oOpenDist, CompressVer);
    setTabOrder(CompressVer, WorkDirectory);
    setTabOrder(WorkDirectory, Button1);
    setTabOrder(Button1, UseDefault);
    setTabOrder(UseDefault, Button4);
}

void TForm1::buildSystemPage() {
    QWidget* page = TabSheet3;
    Label6 = label(QStringLiteral("出力ﾄﾞﾗｲﾌﾞの空き状況"), 8, 8, page);
    Label5 = label(QStringLiteral("USE:"), 8, 26, page);
    DistDrive = new Gauge(page);
    DistDrive->setGeometry(36, 24, 213, 17);
    DistDrive->setAccessibleName(Label6->text());
    DistStr = new QLabel(QStringLiteral("0 ﾊﾞｲﾄの空き"), page);
    DistStr->setGeometry(8, 44, 241, 12);
    DistStr->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Bevel1 = bevelLine(8, 60, 257, page);
    Label10 = label(QStringLiteral("UNLHA32.DLLのﾊﾞｰｼﾞｮﾝ"), 12, 72, page);
    // A font standing in for the designed one may run wider: its letters
    // then close up so that the label ends before the box, which stays put.
    if (int over = Label10->x() + Label10->width() - 143; over > 0) {
        QFont narrower = Label10->font();
        narrower.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(over) / (Label10->text().size() - 1));
        Label10->setFont(narrower);
        Label10->adjustSize();
    }
    UnlhaVer = new QLineEdit(page);
    UnlhaVer->setGeometry(144, 68, 101, 20);
    UnlhaVer->setAccessibleName(Label10->text());
    UnlhaVer->setReadOnly(true);
    setButtonFaceLook(UnlhaVer, true);
    Bevel2 = bevelLine(8, 95, 257, page);
    Panel4 = picturePanel(QRect(12, 104, 201, 101), logoPicture(), Image2, page);
}

void TForm1::buildVersionPage() {
    QWidget* page = TabSheet4;
    Panel1 = picturePanel(QRect(4, 4, 201, 201), titlePicture(), Image1, page);
    Panel2 = new PanelButton(QStringLiteral("Web"), QFrame::Sunken, page);
    Panel2->setGeometry(212, 5, 57, 21);
    Panel2->setToolTip(QStringLiteral("Mobrekのﾒｲﾝﾍﾟｰｼﾞを開きます。"));
    Panel6 = new PanelButton(QStringLiteral("最新情報"), QFrame::Sunken, page);
    Panel6->setGeometry(212, 36, 57, 21);
    // A raised rim round a lowered inner bevel: a ridge.
    Panel6->setFrameStyle(QFrame::Box | QFrame::Raised);
    Panel6->setToolTip(QStringLiteral("このｿﾌﾄの最新情報を開きます。"));
    Panel5 = new PanelButton(QStringLiteral("HELP"), QFrame::Sunken, page);
    Panel5->setGeometry(212, 184, 57, 21);
    Panel5->setFrameStyle(QFrame::Box | QFrame::Raised);
    Version = label(QStringLiteral("This Version is 2.5 Complete.[25C版]"), 76, 220, page);
    // Fonts standing in for the designed one may run wider; the line moves
    // left rather than lose its end at the page's edge.
    if (Version->x() + Version->width() > kPageWidth) Version->move(std::max(0, kPageWidth - Version->width()), 220);
}

std::string TForm1::settingsPath() const {
    const std::string& place = context().settingsPath;
    return place.empty() ? changeExtension(context().executablePath, ".ini") : place;
}

void TForm1::FormCreate() {
    CompressVer->setCurrentIndex(0);
    helpFile_ = folderPart(context().executablePath) + "Kinaru.html";
    startDrive_ = Drive_Dst->Drive();
}

void TForm1::refreshDrive() {
    std::string drive = Drive_Dst->Drive();
    // A volume that cannot be queried gives -1, which the divisions turn into
    // an empty gauge and "0k".
    DistDrive->SetMaxValue(volumes().totalBytes(drive) / kMebibyte);
    std::int64_t free = volumes().freeBytes(drive);
    DistDrive->SetProgress(DistDrive->MaxValue() - free / kMebibyte);
    DistStr->setText(QString::number(free / 1024) + QStringLiteral("k ﾊﾞｲﾄの空き"));
}

void TForm1::Drive_DstChange() {
    refreshDrive();
    // A full volume is no place for archives: back to where the program
    // started. The selection change runs this handler again for that volume.
    if (volumes().freeBytes(Drive_Dst->Drive()) == 0) Drive_Dst->SetDrive(startDrive_);
}

void TForm1::Drive_DstExit() { Drive_DstChange(); }

void TForm1::driveSelected() {
    std::string drive = Drive_Dst->Drive();
    // When the folder cannot be entered its error ends this handler, and the
    // folder list keeps its folder.
    if (Drive_Dst->volumeOf(Dir_Dst->Directory()) != drive) Dir_Dst->SetDirectory(Drive_Dst->currentFolderOf(drive));
    Drive_DstChange();
}

void TForm1::folderEntered() {
    Drive_Dst->rememberFolder(Dir_Dst->Directory());
    Drive_Dst->SetDrive(Drive_Dst->volumeOf(Dir_Dst->Directory()));
}

void TForm1::FormShow() {
    refreshDrive();
    unsigned version = unsigned(context().unlha.UnlhaGetVersion()) & 0xFFFFu;
    if (version != 0) {
        UnlhaVer->setText(libraryVersionText(version));
        return;
    }
    context().shell.messageBox(this, QString::fromStdString(missingLibraryMessage()));
    Close();
}

void TForm1::UseDefaultClick() {
    bool own = !UseDefault->isChecked();
    WorkDirectory->setEnabled(own);
    setButtonFaceLook(WorkDirectory, !own);
    Button1->setEnabled(own);
}

void TForm1::Button1Click() {
    // The user moves to the wanted folder and confirms the proposed name;
    // only the folder is kept, with its final "/".
    if (auto chosen = context().shell.chooseOpenFile(this, "WORK")) setWorkDirectory(folderPart(*chosen));
}

void TForm1::Button2Click() {
    WriteIni();
    Close();
}

void TForm1::Button3Click() { Close(); }

void TForm1::Button4Click() {
    if (!context().shell.askYesNo(this, QStringLiteral("設定を初期化します。よろしいですか？"), true)) return;
    // A settings file that the store below cannot write again, being
    // read-only or in a read-only folder, is kept rather than lost; the store
    // then reports it.
    std::string path = settingsPath();
    if (platform::ownerWritable(path) && platform::ownerWritable(folderPart(path))) ::unlink(path.c_str());
    ReadIni();
    WriteIni();
    context().shell.messageBox(this, QStringLiteral("設定を初期化しました。"));
}

void TForm1::Panel2Click() { context().shell.openUrl(QString::fromStdString(makerHomePage())); }

void TForm1::Panel6Click() { context().shell.openUrl(QString::fromStdString(latestInformationPage())); }

void TForm1::Panel5Click() { context().shell.openDocument(helpFile_); }

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused button and nothing else: in the work-folder
    // edit it must not open the browse dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
        return;
    }
    Form::keyPressEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    Form::closeEvent(event);
    emit closed();
}

void TForm1::SetRadio(SameNamePolicy policy) {
    switch (policy) {
        case SameNamePolicy::Replace: rWrite->setChecked(true); break;
        case SameNamePolicy::Add: rAdd->setChecked(true); break;
        case SameNamePolicy::Ask: rUserSelect->setChecked(true); break;
    }
}

SameNamePolicy TForm1::GetRadio() const {
    if (rUserSelect->isChecked()) return SameNamePolicy::Ask;
    if (rAdd->isChecked()) return SameNamePolicy::Add;
    return SameNamePolicy::Replace;
}

Settings TForm1::settings() const {
    Settings s;
    s.mainLeft = Form1 ? Form1->Left() : 0;
    s.mainTop = Form1 ? Form1->Top() : 0;
    s.compressionLeft = Form2 ? Form2->Left() : 0;
    s.compressionTop = Form2 ? Form2->Top() : 0;
    s.sameNameLeft = Form3 ? Form3->Left() : 0;
    s.sameNameTop = Form3 ? Form3->Top() : 0;
    s.outputFolder = unreachableOutput_.value_or(Dir_Dst->Directory());
    s.workFolder = workDirectory();
    s.sameName = GetRadio();
    s.method = methodFrom(CompressVer->currentIndex());
    s.showProgress = ViewInfo->isChecked();
    s.folderNames = oDirectory->isChecked();
    s.openOutputFolder = oOpenDist->isChecked();
    s.defaultWorkFolder = UseDefault->isChecked();
    return s;
}

void TForm1::ReadIni() {
    Settings defaults;
    defaults.outputFolder = context().defaultOutputFolder;
    if (defaults.outputFolder.empty()) defaults.outputFolder = folderPart(context().executablePath);
    Settings s = loadSettings(TIniFile(settingsPath()), defaults, GetRadio());
    auto place = [](Form* form, int left, int top) {
        if (!form) return;
        form->SetLeft(left);
        form->SetTop(top);
    };
    place(Form1, s.mainLeft, s.mainTop);
    place(Form2, s.compressionLeft, s.compressionTop);
    place(Form3, s.sameNameLeft, s.sameNameTop);

    // An output folder that cannot be entered is reported once the other
    // settings are in place, so that the next store does not lose them.
    std::exception_ptr folderError;
    unreachableOutput_.reset();
    if (!s.outputFolder.empty() && s.outputFolder != Dir_Dst->Directory()) {
        try {
            Dir_Dst->SetDirectory(s.outputFolder);
        } catch (const InOutError&) {
            // Kept for the next store until another folder is chosen: the
            // drive may only be away for now.
            unreachableOutput_ = s.outputFolder;
            folderError = std::current_exception();
        }
    }
    setWorkDirectory(s.workFolder);
    SetRadio(s.sameName);
    CompressVer->setCurrentIndex(s.method ? static_cast<int>(*s.method) : -1);
    ViewInfo->setChecked(s.showProgress);
    oDirectory->setChecked(s.folderNames);
    oOpenDist->setChecked(s.openOutputFolder);
    UseDefault->setChecked(s.defaultWorkFolder);
    // The other dialogs and the run work from what the controls now hold,
    // in the output folder they show.
    context().settings = settings();
    context().settings.outputFolder = Dir_Dst->Directory();
    if (folderError) std::rethrow_exception(folderError);
}

void TForm1::setWorkDirectory(const std::string& folder) {
    workDirectoryBytes_ = folder;
    workDirectoryShown_ = fromLocal(folder);
    WorkDirectory->setText(workDirectoryShown_);
}

std::string TForm1::workDirectory() const {
    // Bytes that are not text in the locale survive unless the text is edited.
    if (WorkDirectory->text() == workDirectoryShown_) return workDirectoryBytes_;
    return toLocal(WorkDirectory->text());
}

void TForm1::WriteIni() { storeSettings(TIniFile(settingsPath()), settings()); }

}  // namespace kinaru
