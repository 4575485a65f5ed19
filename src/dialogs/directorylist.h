#pragma once
// A folder list: the chain of parents of the current folder, then its
// subfolders. The current folder is held as the settings file stores it:
// "/" for the root, any other folder without a final "/". Entering a folder
// makes it the process's current folder.
#include <QListWidget>
#include <string>

namespace kinaru {

class DirectoryList : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    const std::string& Directory() const { return directory_; }
    // Enters folder; throws InOutError and keeps the current folder when it
    // cannot be entered.
    void SetDirectory(const std::string& folder);
    // Lists the folder's contents again (after a change on disk).
    void Update();

    // The folder an entry of the list stands for.
    static std::string folderOf(const QListWidgetItem* item);

signals:
    void directoryChanged();

private:
    std::string directory_;
};

// The form in which a folder list holds a folder.
std::string listForm(std::string folder);

}  // namespace kinaru
