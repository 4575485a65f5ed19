#pragma once
// The compression dialog: the items to pack, the top folder they are named
// relative to, and the archive path.
#include "core/compressionlist.h"
#include "core/commandlines.h"
#include "dialogs/form.h"

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMimeData;
class QPushButton;
class QToolButton;

namespace kinaru {

class TForm2 : public Form {
    Q_OBJECT
public:
    explicit TForm2(AppContext& context);

    void FormCreate() override;
    void FormShow() override;
    void FormHide() override;
    // Adds the dropped local files that lie below the top folder, in order.
    void WMDropFiles(const QMimeData& drop);
    void ExpandClick();
    void SelfExtClick();
    void WinSFXClick();
    void SpeedButton1Click();
    // True when the key was taken: Enter presses Compress.
    bool lzhfilesKeyDown(int key, Qt::KeyboardModifiers shift);
    // The compression run.
    void CompressClick();

    std::string GetLongFileName(const std::string& path) const;

    // What the run packs: the entries of files in order, byte for byte.
    std::vector<std::string> fileEntries() const;
    // The folder the entries are relative to; unset until the dialog is filled.
    const std::optional<std::string>& topFolder() const { return list_.topFolder(); }
    // The text of TopDir as bytes: the top folder, empty while unset.
    std::string topDirText() const { return list_.topFolder().value_or(std::string()); }
    // The archive path in lzhfiles, byte for byte.
    std::string archivePath() const;
    void setArchivePath(const std::string& path);

    // The switches of both archiver commands, as the settings dialog holds them.
    CommandSwitches commandSwitches(const std::string& workFolder) const;
    std::string buildSelfExtractorCommand(const std::string& workFolder, const std::string& temporaryArchive) const;

    QFrame* Panel1;
    QLabel* Label1;
    QPushButton* Compress;
    QToolButton* Expand;
    QComboBox* lzhfiles;
    QFrame* Bevel1;
    QFrame* Bevel2;
    QLabel* Label5;
    QLineEdit* TopDir;
    QListWidget* files;
    QToolButton* SpeedButton1;
    QFrame* Panel2;
    QLabel* Panel3;
    QCheckBox* SelfExt;
    QCheckBox* WinSFX;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void appendFileEntry(const std::string& entry);

    CompressionList list_;
    // The bytes behind a path put into lzhfiles whose text cannot carry them
    // (names that are not valid in the locale's encoding).
    std::string archivePathBytes_;
    QString archivePathShown_;
};

}  // namespace kinaru
