#include "platform/settingsplace.h"

#include "base/paths.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kinaru::platform {

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// An XDG variable counts only when it holds an absolute path.
std::string absoluteEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : "";
}

std::string homeFolder() {
    std::string home = absoluteEnvironment("HOME");
    if (home.empty())
        if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) home = user->pw_dir;
    if (home.empty()) home = "/";
    return home.back() == '/' ? home : home + "/";
}

}  // namespace

SettingsPlace settingsPlace(const std::string& executable) {
    std::string beside = changeExtension(executable, ".ini");
    std::string folder = folderPart(executable);
    if (exists(beside) || !exists(folder + "kinaru.installed")) return {beside, folder};

    std::string home = homeFolder();
    std::string config = absoluteEnvironment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + ".config";
    std::string own = config + "/kinaru";
    // Made now so that the first store finds its folder; a failure shows as
    // the store's own write error.
    ::mkdir(config.c_str(), 0700);
    ::mkdir(own.c_str(), 0700);
    return {own + "/kinaru.ini", home};
}

std::string stateFolder() {
    std::string state = absoluteEnvironment("XDG_STATE_HOME");
    if (state.empty()) {
        std::string local = homeFolder() + ".local";
        ::mkdir(local.c_str(), 0700);
        state = local + "/state";
    }
    std::string own = state + "/kinaru";
    ::mkdir(state.c_str(), 0700);
    ::mkdir(own.c_str(), 0700);
    return own + "/";
}

}  // namespace kinaru::platform
