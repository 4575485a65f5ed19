#include "platform/settingsplace.h"

#include "base/paths.h"

namespace kinaru::platform {

// Beside the executable, as the program has always kept it.
SettingsPlace settingsPlace(const std::string& executable) {
    return {changeExtension(executable, ".ini"), folderPart(executable)};
}

}  // namespace kinaru::platform
