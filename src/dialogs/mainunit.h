#pragma once
// The settings dialog and main window. Its controls hold the settings while
// it is open; each load also leaves them in the context for the other dialogs.
#include "base/choices.h"
#include "dialogs/form.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace kinaru {

class DirectoryList;
class DriveList;
class Gauge;
class PanelButton;
class Volumes;

// The library's version (times 100) as the dialog shows it: "Version 1.15".
QString libraryVersionText(unsigned version);

class TForm1 : public Form {
    Q_OBJECT
public:
    explicit TForm1(AppContext& context);
    ~TForm1() override;

    // The settings file: the place chosen at start-up, or the executable's
    // path with the extension ".ini".
    std::string settingsPath() const;
    // Where the help file is looked for.
    // The root of the volume the program started on.
    const std::string& startDrive() const { return startDrive_; }

    void ReadIni();
    void WriteIni();
    // What the controls and the three windows hold now, as a store writes it.
    Settings settings() const;
    // The work folder as bytes, and setting it so.
    std::string workDirectory() const;
    void setWorkDirectory(const std::string& folder);
    void SetRadio(SameNamePolicy policy);
    SameNamePolicy GetRadio() const;

    void FormCreate() override;
    void FormShow() override;
    void Drive_DstChange();
    void Drive_DstExit();
    void UseDefaultClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Panel2Click();
    void Panel6Click();
    void Panel5Click();

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    // Output page
    DriveList* Drive_Dst;
    DirectoryList* Dir_Dst;
    // Compression options page
    QCheckBox* ViewInfo;
    QGroupBox* GroupBox2;
    QPushButton* Button4;
    QGroupBox* GroupBox1;
    QRadioButton* rWrite;
    QRadioButton* rAdd;
    QRadioButton* rUserSelect;
    QCheckBox* oDirectory;
    QCheckBox* oOpenDist;
    QLabel* Label1;
    QComboBox* CompressVer;
    QLabel* Label2;
    QCheckBox* UseDefault;
    QLineEdit* WorkDirectory;
    QPushButton* Button1;
    // System page
    QLabel* Label6;
    QLabel* Label5;
    Gauge* DistDrive;
    QLabel* DistStr;
    QFrame* Bevel1;
    QLabel* Label10;
    QLineEdit* UnlhaVer;
    QFrame* Bevel2;
    QFrame* Panel4;
    QLabel* Image2;
    // Version page
    QFrame* Panel1;
    QLabel* Image1;
    PanelButton* Panel2;
    PanelButton* Panel6;
    PanelButton* Panel5;
    QLabel* Version;
    // Dialog
    QPushButton* Button2;
    QPushButton* Button3;

signals:
    // The main window closed: the program ends.
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildOutputPage();
    void buildOptionsPage();
    void buildSystemPage();
    void buildVersionPage();
    void connectHandlers();
    const Volumes& volumes() const;
    // The drive refresh: gauge and free-space label for the selected volume.
    void refreshDrive();
    // The selector's choice moves the folder list to the volume's current folder.
    void driveSelected();
    // The folder list's move to another volume moves the selector with it.
    void folderEntered();

    std::unique_ptr<Volumes> systemVolumes_;        // when the context brings none
    std::optional<std::string> unreachableOutput_;  // the stored output folder, when it cannot be entered
    std::string workDirectoryBytes_;
    QString workDirectoryShown_;
    std::string helpFile_;
    std::string startDrive_;
};

}  // namespace kinaru
