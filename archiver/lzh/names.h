#pragma once
// File names inside archives are CP932, the format's home code page, so that
// Windows tools show Japanese names; a name CP932 cannot hold is UTF-8. On
// disk names are in the locale's codeset.
#include <cstdint>
#include <string>
#include <vector>

#include "safe_path.h"

namespace lzh {

// The code page one entry's path is stored in: CP932 when every component
// goes there and back unchanged, else UTF-8; Unknown when the path is plain ASCII.
CodePage archiveCodePage(const std::vector<std::string>& localParts);

// Whether a local name is text in the locale's codeset; bytes that are not
// (a Latin-1 name on a UTF-8 system) have no stored form that says what they are.
bool isLocalText(const std::string& local);

// Local name -> archive bytes in `page` (Unknown: as archiveCodePage picks).
std::string toArchiveName(const std::string& local, CodePage page = CodePage::Unknown);

// How stored name bytes are to be read: the declared code page decides;
// without one CP932, except that a Unix writer's valid UTF-8 is UTF-8.
CodePage readingCodePage(CodePage declared, uint8_t os, const std::string& stored);

// Archive bytes in `page` -> local name; bytes that do not convert are kept.
std::string fromArchiveName(const std::string& stored, CodePage page);

}  // namespace lzh
