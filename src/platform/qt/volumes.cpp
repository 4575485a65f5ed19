#include "platform/volumes.h"
#include "platform/qt/localtext.h"

#include <QFile>
#include <QStorageInfo>
#include <optional>
#include <sys/stat.h>

namespace kinaru {

namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Only the volume mounted exactly on root answers for it: asking QStorageInfo
// about a folder that is gone would answer for whatever volume holds its parent.
std::optional<QStorageInfo> volumeAt(const std::string& root) {
    if (!isFolder(root)) return std::nullopt;
    QStorageInfo info(fromLocal(root));
    info.refresh();
    if (!info.isValid() || !info.isReady() || toLocal(info.rootPath()) != root) return std::nullopt;
    return info;
}

bool holds(const std::string& root, const std::string& folder) {
    if (folder.compare(0, root.size(), root) != 0) return false;
    return root == "/" || folder.size() == root.size() || folder[root.size()] == '/';
}

}  // namespace

std::vector<Volume> SystemVolumes::mounted() const {
    std::vector<Volume> volumes;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        std::string root = toLocal(info.rootPath());
        // A file mounted over another file (containers do this) is no place to write archives into.
        if (!info.isValid() || !info.isReady() || !isFolder(root)) continue;
        // A folder mounted over twice is one place to choose.
        if (volumeRootOf(volumes, root) == root) continue;
        volumes.push_back({root, toLocal(info.name())});
    }
    return volumes;
}

std::int64_t SystemVolumes::totalBytes(const std::string& root) const {
    auto info = volumeAt(root);
    return info ? info->bytesTotal() : -1;
}

std::int64_t SystemVolumes::freeBytes(const std::string& root) const {
    auto info = volumeAt(root);
    // What this user may fill, not what only root may.
    return info ? info->bytesAvailable() : -1;
}

std::string volumeRootOf(const std::vector<Volume>& volumes, const std::string& folder) {
    std::string best;
    for (const Volume& volume : volumes)
        if (holds(volume.root, folder) && (best.empty() || volume.root.size() > best.size())) best = volume.root;
    return best;
}

}  // namespace kinaru
