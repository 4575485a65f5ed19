#include "command.h"

#include <cctype>

#include "lzh/error.h"
#include "sfx/writer.h"
#include "platform/sys.h"

namespace command {

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string cur;
    bool inWord = false, quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (inWord) words.push_back(cur);
            cur.clear();
            inWord = false;
        } else {
            cur += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(cur);
    return words;
}

namespace {
std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void applySwitch(const std::string& word, archive::Options& o) {
    std::string s = lower(word.substr(1));
    if (!s.empty() && s[0] == 'w') {
        o.workDir = word.substr(2);  // the folder keeps its case
        sys::toInternalPath(o.workDir);
        return;
    }
    if (s == "n0" || s == "n1" || s == "n")
        o.showProgress = s == "n0";
    else if (s == "x1" || s == "x")
        o.withFolders = true;
    else if (s == "x0")
        o.withFolders = false;
    else if (s == "jm2" || s == "jm3" || s == "jm4")
        o.method = static_cast<archive::PackMethod>(s[2] - '0');
    else if (s == "r2" || s == "r1" || s == "r")
        o.recurse = true;
    else if (s == "r0")
        o.recurse = false;
    else if (s == "a2" || s == "a1" || s == "a")
        o.hidden = true;
    else if (s == "a0")
        o.hidden = false;
    // Self-extractor switches, meaningful only to s.
    else if (s == "gw2" || s == "gw4")
        o.sfxStyle = s[2] - '0';
    else if (s == "ji0" || s == "ji1")
        o.sfxWindow = s == "ji0";
    else if (s == "gu1" || s == "gu0")
        o.sfxFolders = s == "gu1";
    else if (s == "linux")
        o.sfxLinux = true;
    else
        lzh::fail(UNLHA_ERR_SWITCH, "unknown switch " + word);
}
}  // namespace

archive::Options parse(const std::vector<std::string>& words) {
    archive::Options o;
    if (words.empty()) lzh::fail(UNLHA_ERR_COMMAND, "no command");
    std::string cmd = lower(words[0]);
    if (cmd.size() != 1 || std::string("asltxe").find(cmd[0]) == std::string::npos)
        lzh::fail(UNLHA_ERR_COMMAND, "unknown command " + words[0]);
    o.command = cmd[0];
    size_t i = 1;
    for (; i < words.size() && !words[i].empty() && words[i][0] == '-'; ++i) applySwitch(words[i], o);
    if (i == words.size()) lzh::fail(UNLHA_ERR_NO_ARCHIVE, "no archive named");
    o.archive = words[i++];
    o.items.assign(words.begin() + static_cast<long>(i), words.end());
    sys::toInternalPath(o.archive);
    for (std::string& item : o.items) sys::toInternalPath(item);
    return o;
}

int run(const archive::Options& opt, std::string& text) {
    if (opt.command != 's') return archive::run(opt, text);
    return archive::guarded(
        [&] {
            if (opt.archive.empty()) lzh::fail(UNLHA_ERR_NO_ARCHIVE, "no archive named");
            return sfx::write(opt, text);
        },
        text);
}

}  // namespace command
