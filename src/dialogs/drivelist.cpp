#include "drivelist.h"
#include "platform/qt/localtext.h"

#include <QFile>
#include <QFocusEvent>

namespace kinaru {

namespace {
constexpr int kRootRole = Qt::UserRole;

QString display(const Volume& volume) {
    QString text = fromLocal(volume.root);
    if (!volume.name.empty()) text += QStringLiteral(" [%1]").arg(QString::fromLocal8Bit(volume.name.c_str()));
    return text;
}
}  // namespace

DriveList::DriveList(const Volumes& volumes, QWidget* parent) : QComboBox(parent), volumes_(volumes.mounted()) {
    setEditable(false);
    QFont drives = font();
    drives.setPixelSize(13);
    setFont(drives);
    for (const Volume& volume : volumes_) addItem(display(volume), QByteArray::fromStdString(volume.root));
    setCurrentIndex(-1);
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::driveChanged);
}

std::string DriveList::Drive() const {
    int index = currentIndex();
    return index < 0 ? std::string() : itemData(index, kRootRole).toByteArray().toStdString();
}

void DriveList::SetDrive(const std::string& root) {
    int index = findData(QByteArray::fromStdString(root), kRootRole);
    if (index >= 0) setCurrentIndex(index);
}

std::string DriveList::volumeOf(const std::string& folder) const { return volumeRootOf(volumes_, folder); }

void DriveList::rememberFolder(const std::string& folder) {
    std::string root = volumeOf(folder);
    if (!root.empty()) currentFolders_[root] = folder;
}

std::string DriveList::currentFolderOf(const std::string& root) const {
    auto found = currentFolders_.find(root);
    return found == currentFolders_.end() ? root : found->second;
}

void DriveList::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) emit exited();
}

}  // namespace kinaru
