#include "writer.h"

#include <cerrno>
#include <vector>

#include "archive/fsutil.h"
#include "lzh/error.h"
#include "lzh/header.h"
#include "lzh/stream.h"
#include "archive/trailer.h"
#include "platform/sys.h"

namespace sfx {

using archive::Fd;
using archive::sysError;
using lzh::fail;

std::string stubPath(const archive::Options& opt) {
    // The library may be loaded from anywhere; the stub is installed with it.
    std::string module = sys::modulePath(reinterpret_cast<const void*>(&exeName));
    const char* stub = opt.sfxLinux ? kLinuxStub : opt.sfxWindow ? kWindowStub : kConsoleStub;
    return archive::dirName(module) + "/" + stub;
}

std::string exeName(const std::string& archive, bool forLinux) {
    size_t slash = archive.rfind('/');
    std::string base = slash == std::string::npos ? archive : archive.substr(slash + 1);
    size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    return forLinux ? base : base + ".exe";
}

namespace {

// Checks every header and that each entry's data is all there, so a broken
// archive never becomes a self-extractor that fails later.
void checkArchive(int fd, const std::string& name) {
    lzh::FdSource src(fd, UNLHA_ERR_READ, name);
    lzh::Entry e;
    bool any = false;
    while (lzh::readHeader(src, e)) {
        if (!src.skip(e.packed)) lzh::damaged("entry data cut short: " + e.path());
        any = true;
    }
    if (!any) lzh::damaged(name + ": no entries");
}

class Copier {
public:
    Copier(const archive::Options& opt, lzh::FdSink& sink, std::string name, uint64_t total)
        : opt_(opt), sink_(sink), name_(std::move(name)), total_(total) {}

    uint64_t copy(int fd, const std::string& what) {
        std::vector<uint8_t> buf(1 << 16);
        uint64_t n = 0;
        for (;;) {
            if (opt_.cancelled && opt_.cancelled()) fail(UNLHA_ERR_CANCELLED, "cancelled");
            ssize_t r = sys::read(fd, buf.data(), buf.size());
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) fail(UNLHA_ERR_READ, what + ": " + sysError(errno));
            if (r == 0) return n;
            sink_.write(buf.data(), static_cast<size_t>(r));
            n += static_cast<uint64_t>(r);
            done_ += static_cast<uint64_t>(r);
            if (opt_.progress) opt_.progress(name_, done_, total_);
        }
    }

private:
    const archive::Options& opt_;
    lzh::FdSink& sink_;
    std::string name_;
    uint64_t total_;
    uint64_t done_ = 0;
};

// Non-blocking, so that a fifo is refused instead of waited on.
Fd openFile(const std::string& path, int missingCode) {
    Fd fd(sys::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    sys::Stat st;
    if (fd.get() < 0)
        fail(errno == ENOENT || errno == ENOTDIR ? missingCode : UNLHA_ERR_READ, path + ": " + sysError(errno));
    if (sys::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) fail(UNLHA_ERR_READ, path + ": not a file");
    return fd;
}

uint64_t fileSize(int fd) {
    sys::Stat st;
    sys::fstat(fd, &st);
    return static_cast<uint64_t>(st.st_size);
}

}  // namespace

int write(const archive::Options& opt, std::string& text) {
    const std::string target = exeName(opt.archive, opt.sfxLinux);
    sys::Stat st;
    if (sys::lstat(target.c_str(), &st) == 0) fail(UNLHA_ERR_EXISTS, target + ": already exists, not replaced");

    Fd arc = openFile(opt.archive, UNLHA_ERR_NO_ARCHIVE);
    checkArchive(arc.get(), opt.archive);
    if (sys::lseek(arc.get(), 0, SEEK_SET) < 0) fail(UNLHA_ERR_READ, opt.archive + ": " + sysError(errno));
    const std::string stub = stubPath(opt);
    Fd stubFd = openFile(stub, UNLHA_ERR_UNSUPPORTED);

    // Nameless (or under a hidden temporary name) until complete, so that a
    // failure, a cancel or a kill leaves nothing half-written under the final name.
    archive::PendingFile out(".");
    archive::Trailer t;
    t.window = opt.sfxWindow;
    t.style = opt.sfxStyle;
    t.folders = opt.sfxFolders;
    {
        lzh::FdSink sink(out.fd(), target);
        Copier copier(opt, sink, target, fileSize(stubFd.get()) + fileSize(arc.get()));
        t.archiveOffset = copier.copy(stubFd.get(), stub);
        t.archiveSize = copier.copy(arc.get(), opt.archive);
        auto b = archive::encodeTrailer(t);
        sink.write(b.data(), b.size());
        sink.flush();
    }
    if (sys::fchmod(out.fd(), 0755) != 0 || sys::fsync(out.fd()) != 0)
        fail(UNLHA_ERR_WRITE, target + ": " + sysError(errno));
    if (opt.cancelled && opt.cancelled()) fail(UNLHA_ERR_CANCELLED, "cancelled");
    if (!out.publish(AT_FDCWD, target, false)) {
        if (errno == EEXIST) fail(UNLHA_ERR_EXISTS, target + ": already exists, not replaced");
        fail(UNLHA_ERR_WRITE, target + ": " + sysError(errno));
    }
    text += target + "\n";
    return 0;
}

}  // namespace sfx
