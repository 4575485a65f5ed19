#pragma once
// File names inside archives are CP932, the format's home code page, so that
// Windows tools show Japanese names; on disk they are in the locale's codeset.
#include <string>

namespace lzh {

// Local name -> archive bytes: CP932 when it can hold the name, else UTF-8.
std::string toArchiveName(const std::string &local);

// Archive bytes -> local name. A name that is valid UTF-8 but not
// representable in CP932 can only have been stored as UTF-8 and is read so.
std::string fromArchiveName(const std::string &stored);

} // namespace lzh
