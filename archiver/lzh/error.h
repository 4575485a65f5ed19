#pragma once
// Failures travel inside the library as exceptions carrying the code the
// entry point will return.
#include <stdexcept>
#include <string>

#include "unlha32.h"

namespace lzh {

struct Error : std::runtime_error {
    int code;
    Error(int c, const std::string& what) : std::runtime_error(what), code(c) {}
};

[[noreturn]] inline void fail(int code, const std::string& what) { throw Error(code, what); }
[[noreturn]] inline void damaged(const std::string& what) { throw Error(UNLHA_ERR_DAMAGED, what); }

}  // namespace lzh
