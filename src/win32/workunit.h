#pragma once
// The compression dialog as a Win32 window: the items to pack, the top
// folder they are named relative to, and the archive path.
#include "core/commandlines.h"
#include "core/compressionlist.h"
#include "win32/app.h"
#include "win32/form.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kinaru::win32 {

class TForm3;

class TForm2 : public Form {
public:
    explicit TForm2(App& app);
    // The same-name dialog, created after this one.
    void setSameNameDialog(TForm3& form3) { form3_ = &form3; }


    void FormCreate();
    void FormShow();
    void FormHide();
    void WMDropFiles(HDROP drop);
    void ExpandClick();
    void SelfExtClick();
    void WinSFXClick();
    void SpeedButton1Click();
    void CompressClick();

    std::string archivePath() const;
    void setArchivePath(const std::string& path);
    std::vector<std::string> fileEntries() const { return list_.entries(); }
    CommandSwitches commandSwitches(const std::string& workFolder) const;
    bool winSfxTicked() const;

    HWND Panel1 = nullptr, Label1 = nullptr, Compress = nullptr, Expand = nullptr, lzhfiles = nullptr;
    HWND Bevel1 = nullptr, Bevel2 = nullptr, Label5 = nullptr, TopDir = nullptr, files = nullptr;
    HWND SpeedButton1 = nullptr, Panel2 = nullptr, Panel3 = nullptr, SelfExt = nullptr, WinSFX = nullptr;

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void command(int id, int code);

    App& app_;
    TForm3* form3_ = nullptr;
    HBRUSH headingBrush_ = nullptr;
    CompressionList list_;
    bool closing_ = false;
};

}  // namespace kinaru::win32
