#pragma once
// The settings dialog and main window. Its controls are the settings store:
// the other dialogs read every setting from them.
#include "dialogs/form.h"

#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace kinaru {

class DirectoryList;
class PanelButton;

class TForm1 : public Form {
    Q_OBJECT
public:
    explicit TForm1(AppContext& context);

    // The settings file: the executable's path with the extension ".ini".
    std::string settingsPath() const;
    // Where the help file is looked for.
    const std::string& helpFile() const { return helpFile_; }

    void ReadIni();
    void WriteIni();
    void SetRadio(int policy);
    int GetRadio() const;

    void FormCreate() override;
    void FormShow() override;
    void UseDefaultClick();
    void Button2Click();
    void Button3Click();

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    // Output page
    QComboBox* Drive_Dst;
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
    QProgressBar* DistDrive;
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
    void closeEvent(QCloseEvent* event) override;

private:
    void buildOutputPage();
    void buildOptionsPage();
    void buildSystemPage();
    void buildVersionPage();

    std::string helpFile_;
};

}  // namespace kinaru
