#include "directorylist.h"

#include "base/errors.h"
#include "platform/files.h"
#include "platform/qt/localtext.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace kinaru {

namespace {

constexpr int kFolderRole = Qt::UserRole;

std::vector<std::string> subfolders(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        // Hidden folders stay out of sight, as in file managers.
        if (name.starts_with('.')) continue;
        struct stat st {};
        std::string path = (folder == "/" ? folder : folder + "/") + name;
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string listForm(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
    directory_ = listForm(platform::currentDirectory());
    Update();
}

std::string DirectoryList::folderOf(const QListWidgetItem* item) {
    return item->data(kFolderRole).toByteArray().toStdString();
}

void DirectoryList::SetDirectory(const std::string& folder) {
    if (FileResult failed = platform::changeDirectory(folder)) throw InOutError(failed);
    directory_ = listForm(platform::currentDirectory());
    Update();
    emit directoryChanged();
}

void DirectoryList::Update() {
    clear();
    QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root down to the current folder, indented by depth.
    std::vector<std::string> chain{"/"};
    for (std::size_t at = 1; at <= directory_.size(); ++at)
        if (at == directory_.size() || directory_[at] == '/')
            if (at > 1) chain.push_back(directory_.substr(0, at));
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const std::string& folder : chain) {
        std::string name = folder == "/" ? "/" : folder.substr(folder.rfind('/') + 1);
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + fromLocal(name), this);
        item->setData(kFolderRole, QByteArray::fromStdString(folder));
        current = item;
        ++depth;
    }
    for (const std::string& name : subfolders(directory_)) {
        auto* item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + fromLocal(name), this);
        item->setData(kFolderRole, QByteArray::fromStdString(directory_ == "/" ? "/" + name : directory_ + "/" + name));
    }
    setCurrentItem(current);
}

}  // namespace kinaru
