// The descriptor-backed source and sink (POSIX).
#include <cerrno>
#include <cstring>

#include "error.h"
#include "stream.h"
#include "platform/sys.h"

namespace lzh {

namespace {

[[noreturn]] void failWrite(const std::string& what, int error) {
    bool full = error == ENOSPC;
#ifdef EDQUOT
    full = full || error == EDQUOT;
#endif
    fail(full ? UNLHA_ERR_DISK_FULL : UNLHA_ERR_WRITE, what + ": " + std::strerror(error));
}

}  // namespace

size_t FdSource::read(uint8_t* dst, size_t n) {
    if (off_ == len_) {
        if (n >= buf_.size()) {  // large reads bypass the buffer
            for (;;) {
                ssize_t r = sys::read(fd_, dst, n);
                if (r >= 0) {
                    pos_ += static_cast<uint64_t>(r);
                    return static_cast<size_t>(r);
                }
                if (errno != EINTR) fail(code_, what_ + ": " + std::strerror(errno));
            }
        }
        ssize_t r;
        do r = sys::read(fd_, buf_.data(), buf_.size());
        while (r < 0 && errno == EINTR);
        if (r < 0) fail(code_, what_ + ": " + std::strerror(errno));
        off_ = 0;
        len_ = static_cast<size_t>(r);
        pos_ += len_;
        if (!len_) return 0;
    }
    size_t k = len_ - off_ < n ? len_ - off_ : n;
    std::memcpy(dst, buf_.data() + off_, k);
    off_ += k;
    return k;
}

bool FdSource::skip(uint64_t n) {
    uint64_t buffered = len_ - off_;
    if (n <= buffered) {
        off_ += static_cast<size_t>(n);
        return true;
    }
    n -= buffered;
    off_ = len_ = 0;
    int64_t here = sys::lseek(fd_, 0, SEEK_CUR);
    int64_t end = here >= 0 ? sys::lseek(fd_, 0, SEEK_END) : -1;
    if (here < 0 || end < 0) return ByteSource::skip(n);  // not seekable
    if (static_cast<uint64_t>(end - here) < n) {
        pos_ = static_cast<uint64_t>(end);
        return false;
    }
    pos_ = static_cast<uint64_t>(here) + n;
    if (sys::lseek(fd_, static_cast<int64_t>(pos_), SEEK_SET) < 0) fail(code_, what_ + ": " + std::strerror(errno));
    return true;
}

void FdSink::write(const uint8_t* src, size_t n) {
    while (n) {
        if (fill_ == buf_.size()) flush();
        size_t k = buf_.size() - fill_ < n ? buf_.size() - fill_ : n;
        std::memcpy(buf_.data() + fill_, src, k);
        fill_ += k;
        src += k;
        n -= k;
    }
}

void FdSink::flush() {
    size_t done = 0;
    while (done < fill_) {
        ssize_t w = sys::write(fd_, buf_.data() + done, fill_ - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) failWrite(what_, w < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(w);
    }
    pos_ += fill_;
    fill_ = 0;
}

void FdSink::truncateTo(uint64_t pos) {
    flush();
    if (sys::ftruncate(fd_, static_cast<int64_t>(pos)) != 0 || sys::lseek(fd_, static_cast<int64_t>(pos), SEEK_SET) < 0)
        failWrite(what_, errno);
    pos_ = pos;
}

void FdSink::patch(uint64_t pos, const uint8_t* src, size_t n) {
    if (pos >= pos_ && pos + n <= pos_ + fill_) {  // still buffered: no system call per entry
        std::memcpy(buf_.data() + (pos - pos_), src, n);
        return;
    }
    flush();
    while (n) {
        ssize_t w = sys::pwrite(fd_, src, n, static_cast<int64_t>(pos));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) failWrite(what_, w < 0 ? errno : ENOSPC);
        src += w;
        n -= static_cast<size_t>(w);
        pos += static_cast<uint64_t>(w);
    }
}

}  // namespace lzh
