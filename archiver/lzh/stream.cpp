#include "stream.h"

#include <cstring>

namespace lzh {

bool ByteSource::skip(uint64_t n) {
    uint8_t tmp[4096];
    while (n) {
        size_t want = n < sizeof tmp ? static_cast<size_t>(n) : sizeof tmp;
        size_t got = read(tmp, want);
        if (!got) return false;
        n -= got;
    }
    return true;
}

bool ByteSource::readFull(uint8_t* dst, size_t n) {
    while (n) {
        size_t got = read(dst, n);
        if (!got) return false;
        dst += got;
        n -= got;
    }
    return true;
}

size_t LimitedSource::read(uint8_t* dst, size_t n) {
    if (n > left_) n = static_cast<size_t>(left_);
    if (!n) return 0;
    size_t got = in_.read(dst, n);
    left_ -= got;
    return got;
}

size_t MemorySource::read(uint8_t* dst, size_t n) {
    if (n > n_) n = n_;
    if (!n) return 0;
    std::memcpy(dst, p_, n);
    p_ += n;
    n_ -= n;
    return n;
}

}  // namespace lzh
