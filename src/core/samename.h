#pragma once
// The same-name dialog's check of a new archive name, whichever face asks.
#include <string>

namespace kinaru {

// The name check's refusal tests, on whole characters.
bool acceptableArchiveName(const std::string& name);

// Bytes at or below the space character trimmed from both ends.
std::string trimControls(const std::string& text);

// What the check found for a typed name.
enum class NameVerdict {
    Refused,       // "ﾌｧｲﾙ名が正しくありません。"
    FolderMissing, // ask whether to create the folder
    Exists,        // "同名ファイルが存在します。"
    Accepted,      // the dialog ends with Rename
};

struct NameCheck {
    std::string name;  // what the name box shows afterwards
    NameVerdict verdict;
};

// Trims the typed name, refuses what the archiver cannot take, gives it the
// existing archive's extension and its folder when it has none, and looks
// for its folder and for a namesake.
NameCheck checkNewName(const std::string& typed, const std::string& existing);

}  // namespace kinaru
