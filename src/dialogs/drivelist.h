#pragma once
// The drive selector: one entry per mounted volume. Like a drive letter on
// other systems, each volume remembers the folder last used on it, so that
// choosing the volume again returns there.
#include "platform/volumes.h"

#include <QComboBox>
#include <map>
#include <string>
#include <vector>

namespace kinaru {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    DriveList(const Volumes& volumes, QWidget* parent);

    // The root of the selected volume; empty when none is selected.
    std::string Drive() const;
    // Selects the volume mounted on root. Selecting another volume than the
    // current one signals driveChanged; an unknown root changes nothing.
    void SetDrive(const std::string& root);

    // The volume that holds folder (empty when none of the listed does).
    std::string volumeOf(const std::string& folder) const;
    // Notes folder as the current folder of its volume.
    void rememberFolder(const std::string& folder);
    // The current folder of the volume on root: the last folder remembered
    // on it, else its root.
    std::string currentFolderOf(const std::string& root) const;

signals:
    // The selection changed, by the user or by SetDrive.
    void driveChanged();
    // The focus left the selector (not for its own drop-down or another window).
    void exited();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::vector<Volume> volumes_;
    std::map<std::string, std::string> currentFolders_;
};

}  // namespace kinaru
