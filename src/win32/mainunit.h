#pragma once
// The settings dialog and main window as a Win32 window: four pages of
// settings, the output drive's free space and the library's version.
#include "win32/app.h"
#include "win32/form.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kinaru::win32 {

class TForm1 : public Form {
public:
    explicit TForm1(App& app);


    void FormShow();
    void Drive_DstChange();
    void Dir_DstOpen(int row);
    void UseDefaultClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Panel2Click();
    void Panel6Click();
    void Panel5Click();

    // The controls take the settings in app, and give them back.
    void ReadIni();
    void WriteIni();

    HWND PageControl1 = nullptr, Drive_Dst = nullptr, Dir_Dst = nullptr;
    HWND ViewInfo = nullptr, GroupBox2 = nullptr, Button4 = nullptr, GroupBox1 = nullptr, rWrite = nullptr,
         rAdd = nullptr, rUserSelect = nullptr, oDirectory = nullptr, oOpenDist = nullptr, Label1 = nullptr,
         CompressVer = nullptr, Label2 = nullptr, UseDefault = nullptr, WorkDirectory = nullptr, Button1 = nullptr;
    HWND Label6 = nullptr, Label5 = nullptr, DistDrive = nullptr, DistStr = nullptr, Bevel1 = nullptr,
         Label10 = nullptr, UnlhaVer = nullptr, Bevel2 = nullptr, Panel4 = nullptr, Image2 = nullptr;
    HWND Panel1 = nullptr, Image1 = nullptr, Panel2 = nullptr, Panel6 = nullptr, Panel5 = nullptr, Version = nullptr;
    HWND Button2 = nullptr, Button3 = nullptr;

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void command(int id, int code);
    void showPage(int page);
    // The gauge and the free-space text for the drive of the output folder;
    // the free bytes, -1 when the drive cannot be queried.
    long long refreshDrive();
    void listFolder();
    void drawFolderRow(const DRAWITEMSTRUCT& row);
    // Enters folder, which becomes the output folder.
    void enterFolder(const std::string& folder);
    // Lists the current folder and selects its drive.
    void showFolder();

    App& app_;
    std::vector<std::vector<HWND>> pages_;
    std::vector<std::string> rows_;  // the folder of each row of Dir_Dst
    std::string folder_;             // the current folder of Dir_Dst
    char startDrive_ = 0;
    HBRUSH panelBrush_ = nullptr;
    HICON openFolder_ = nullptr, closedFolder_ = nullptr;
    HBRUSH pageBrush_ = nullptr;  // the tab control's page colour
    RECT pageArea_{};              // where the pages lie
    HFONT boldFont_ = nullptr;
};

}  // namespace kinaru::win32
