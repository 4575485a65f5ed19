#pragma once
// An entry's data, unpacked by its method.
#include <cstdint>

#include "codec.h"
#include "header.h"

namespace lzh {

// Writes the entry's original bytes to `out` and returns their CRC-16.
// Throws UNLHA_ERR_METHOD for a method this library cannot decode and
// UNLHA_ERR_DAMAGED for broken data.
uint16_t unpack(Decoder& dec, const Entry& e, ByteSource& data, ByteSink& out, const Progress& progress = {});

}  // namespace lzh
