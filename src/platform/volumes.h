#pragma once
// The output drive of the settings dialog is a mounted volume. Everything the
// dialog asks about volumes goes through this interface, so that a test can
// present a full volume or one that cannot be queried.
#include <cstdint>
#include <string>
#include <vector>

namespace kinaru {

struct Volume {
    std::string root;  // the folder it is mounted on
    std::string name;  // its label, may be empty
};

class Volumes {
public:
    virtual ~Volumes() = default;

    // The mounted volumes that are ready, in the system's order.
    virtual std::vector<Volume> mounted() const = 0;
    // Sizes in bytes, 64-bit so that large disks show their true size;
    // -1 when the volume cannot be queried.
    virtual std::int64_t totalBytes(const std::string& root) const = 0;
    virtual std::int64_t freeBytes(const std::string& root) const = 0;
};

// The volumes the system has mounted, through QStorageInfo.
class SystemVolumes : public Volumes {
public:
    std::vector<Volume> mounted() const override;
    std::int64_t totalBytes(const std::string& root) const override;
    std::int64_t freeBytes(const std::string& root) const override;
};

// The root among roots that is the longest whole-component prefix of folder
// ("/home" holds "/home/a" but not "/homely"); empty when none is.
std::string volumeRootOf(const std::vector<Volume>& volumes, const std::string& folder);

}  // namespace kinaru
