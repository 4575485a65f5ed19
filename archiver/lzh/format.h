#pragma once
// Constants of the -lh4-..-lh7- bit streams, shared by encoder and decoder.
#include <cstdint>
#include <string>

namespace lzh {

constexpr int NC = 510;    // literal/length codes: 256 bytes and lengths 3..256
constexpr int NT = 19;     // codes of the code-length table
constexpr int TBIT = 5;    // bits of the code-length table's count
constexpr int CBIT = 9;    // bits of the literal/length table's count
constexpr int NPMAX = 17;  // position codes of the largest window
constexpr uint32_t kMinMatch = 3, kMaxMatch = 256;

// The ids that are no LZ stream: data stored as it is (two spellings) and a folder.
inline constexpr const char* kStoredId = "-lh0-";
inline constexpr const char* kStoredLz4Id = "-lz4-";
inline constexpr const char* kFolderId = "-lhd-";

// Whether an entry of this method holds its data as it is.
inline bool isStored(const std::string& id) { return id == kStoredId || id == kStoredLz4Id; }

struct LzMethod {
    const char* id;  // "-lh5-"
    int dicbit;      // window is 1 << dicbit bytes
    int np;          // number of position codes
    int pbit;        // bits of the position-table count
};

// The LZ methods by id ("-lh5-"), or nullptr.
const LzMethod* findMethod(const std::string& id);
const LzMethod& methodForLevel(int jm);  // 2 -> lh5, 3 -> lh6, 4 -> lh7

}  // namespace lzh
