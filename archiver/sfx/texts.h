#pragma once
// What the self-extractors say, in UTF-8, for every face of every stub: a
// user who meets the Linux and the Windows one reads the same words.
#include <cstdint>
#include <string>

namespace sfx::texts {

inline const char* const kDamaged =
    "この自己解凍書庫は壊れています (書庫が見つからないか、途中で切れています)。何も解凍しませんでした。";
inline const char* const kCancelled = "解凍を中止しました。";
inline const char* const kCancelledNothingLeft = "解凍を中止しました。途中まで書いていたファイルは残していません。";

inline std::string usage(const std::string& program) {
    return "使い方: " + program + " [--dest=フォルダ] [--overwrite=yes|no] [--console]";
}
inline std::string failed(int rc) {
    std::string hex;
    for (unsigned v = static_cast<unsigned>(rc); hex.empty() || v; v >>= 4) hex.insert(hex.begin(), "0123456789ABCDEF"[v & 15]);
    return "解凍に失敗しました (エラー 0x" + hex + ")。";
}
inline std::string extracted(uint64_t files, const std::string& folder) {
    return std::to_string(files) + " 個のファイルを「" + folder + "」に解凍しました。";
}
inline std::string keptExisting(uint64_t files) {
    return std::to_string(files) + " 個のファイルは既にあったため残しました。";
}
inline std::string refusedExisting(uint64_t files) {
    return std::to_string(files) + " 個のファイルは既にあるため解凍しませんでした。";
}

}  // namespace sfx::texts
