#include "pack_jobs.h"

#include <cerrno>
#include <chrono>
#include <sched.h>

#include "lzh/bitio.h"
#include "lzh/crc16.h"
#include "lzh/error.h"
#include "platform/sys.h"

namespace archive {

namespace {
struct Stopped {};

// Reads a file from an offset by pread, leaving the descriptor's position alone.
class PreadSource : public lzh::ByteSource {
public:
    PreadSource(int fd, uint64_t offset, uint64_t limit) : fd_(fd), off_(offset), left_(limit) {}
    size_t read(uint8_t* dst, size_t n) override {
        if (n > left_) n = static_cast<size_t>(left_);
        for (;;) {
            if (!n) return 0;
            ssize_t r = sys::pread(fd_, dst, n, static_cast<int64_t>(off_));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) lzh::fail(UNLHA_ERR_READ, sysError(errno));
            off_ += static_cast<uint64_t>(r);
            left_ -= static_cast<uint64_t>(r);
            return static_cast<size_t>(r);
        }
    }

private:
    int fd_;
    uint64_t off_, left_;
};
}  // namespace

unsigned usableCores() {
#ifdef __linux__
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    unsigned n = std::thread::hardware_concurrency();
    return n ? n : 1;
}

PackJobs::PackJobs(unsigned threads, const lzh::LzMethod& m) : m_(m) {
    if (threads > 1)
        for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

PackJobs::~PackJobs() {
    {
        std::lock_guard<std::mutex> lock(mu_);
        quit_ = true;
        stop_ = true;
    }
    ready_.notify_all();
    for (auto& t : workers_) t.join();
}

void PackJobs::submit(std::shared_ptr<Piece> p) {
    if (inline_()) {
        queue_.push_back(std::move(p));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mu_);
        queue_.push_back(std::move(p));
    }
    ready_.notify_one();
}

void PackJobs::wait(Piece& p, const std::function<void()>& poll) {
    if (inline_()) {
        // Pieces run in the order submitted; this one is at the front.
        std::shared_ptr<Piece> keep = std::move(queue_.front());
        queue_.pop_front();
        if (p.file->skip)
            p.skipped = true;
        else
            pack(own_, p, [&](uint64_t) { poll(); });
        return;
    }
    std::unique_lock<std::mutex> lock(mu_);
    while (!p.done) {
        if (finished_.wait_for(lock, std::chrono::milliseconds(50)) == std::cv_status::timeout) {
            lock.unlock();
            try {
                poll();
            } catch (...) {
                stop_ = true;  // the workers drop what they hold
                throw;
            }
            lock.lock();
        }
    }
    if (p.error) std::rethrow_exception(p.error);
}

void PackJobs::work() {
    lzh::Encoder enc;
    for (;;) {
        std::shared_ptr<Piece> p;
        {
            std::unique_lock<std::mutex> lock(mu_);
            ready_.wait(lock, [&] { return quit_ || !queue_.empty(); });
            if (quit_) return;
            p = std::move(queue_.front());
            queue_.pop_front();
        }
        try {
            if (stop_ || p->file->skip) throw Stopped{};
            pack(enc, *p, [&](uint64_t) {
                if (stop_ || p->file->skip) throw Stopped{};
            });
        } catch (const Stopped&) {
            p->skipped = true;
        } catch (...) {
            p->error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(mu_);
            p->done = true;
        }
        finished_.notify_all();
    }
}

void PackJobs::pack(lzh::Encoder& enc, Piece& p, const std::function<void(uint64_t)>& onProgress) {
    const int fd = p.file->fd.get();
    uint64_t hist = std::min<uint64_t>(p.offset, uint64_t{1} << m_.dicbit);
    std::vector<uint8_t> history(static_cast<size_t>(hist));
    PreadSource before(fd, p.offset - hist, hist);
    if (!before.readFull(history.data(), history.size())) lzh::fail(UNLHA_ERR_READ, "file changed while packing");
    PreadSource src(fd, p.offset, p.last ? UINT64_MAX : p.size);
    lzh::VectorSink out;
    lzh::Progress progress = [&](uint64_t n) {
        p.consumed = n;
        onProgress(n);
    };
    p.result = enc.encode(m_, src, out, true, progress, history.data(), history.size());
    if (!p.last && !p.result.gaveUp && p.result.in != p.size) lzh::fail(UNLHA_ERR_READ, "file changed while packing");
    p.packed = std::move(out.data);
    p.consumed = p.result.in;
}

FilePacker::FilePacker(const lzh::LzMethod& m, unsigned threads, std::vector<std::string> paths)
    : m_(m), jobs_(threads, m), limit_(threads > 1 ? 2 * threads + 2 : 1) {
    files_.resize(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) files_[i].path = std::move(paths[i]);
}

// Opens files and submits their pieces, in writing order, until enough are in flight.
void FilePacker::ahead() {
    while (inFlight_ < limit_ && submitting_ < files_.size()) {
        File& f = files_[submitting_];
        if (submitting_ >= opened_) {
            ++opened_;
            f.file = std::make_shared<PackFile>();
            f.file->fd.reset(sys::open(f.path.c_str(), O_RDONLY | O_CLOEXEC));
            sys::Stat st;
            if (f.file->fd.get() < 0 || sys::fstat(f.file->fd.get(), &st) != 0) {
                f.error = std::make_exception_ptr(lzh::Error(UNLHA_ERR_READ, f.path + ": " + sysError(errno)));
                f.next = f.size = 0;
            } else {
                f.size = static_cast<uint64_t>(st.st_size);
            }
        }
        if (f.error || f.next >= f.size || f.file->skip) {
            ++submitting_;
            continue;
        }
        auto p = std::make_shared<Piece>();
        p->file = f.file;
        p->offset = f.next;
        p->size = kPieceSize;
        p->last = f.size - f.next <= kPieceSize;
        f.next = p->last ? f.size : f.next + kPieceSize;
        f.pieces.push_back(p);
        jobs_.submit(std::move(p));
        ++inFlight_;
    }
}

uint64_t FilePacker::open() {
    ++cur_;
    ahead();
    File& f = files_[cur_ - 1];
    if (f.error) std::rethrow_exception(f.error);
    return f.size;
}

FilePacker::Data FilePacker::write(lzh::FdSink& sink, const std::function<void(uint64_t)>& progress) {
    File& f = files_[cur_ - 1];
    Data d;
    uint64_t dataAt = sink.position();
    lzh::BitWriter joined;
    auto writeJoined = [&] {
        std::vector<uint8_t>& bytes = joined.bytes();
        sink.write(bytes.data(), bytes.size());
        bytes.clear();
    };
    bool gaveUp = false;
    for (;;) {
        ahead();
        if (f.pieces.empty()) break;
        std::shared_ptr<Piece> p = std::move(f.pieces.front());
        f.pieces.pop_front();
        try {
            jobs_.wait(*p, [&] { progress(d.original + p->consumed); });
        } catch (const lzh::Error& e) {
            --inFlight_;
            if (e.code == UNLHA_ERR_READ) throw lzh::Error(e.code, f.path + ": " + e.what());
            throw;
        }
        --inFlight_;
        if (gaveUp) continue;  // draining what was in flight
        if (p->skipped || p->result.gaveUp) {
            gaveUp = true;
            f.file->skip = true;
            continue;
        }
        joined.append(p->packed.data(), p->result.bits);
        writeJoined();
        d.crc = lzh::crc16Combine(d.crc, p->result.crc, p->result.in);
        d.original += p->result.in;
    }
    joined.finish();
    writeJoined();
    d.packed = sink.position() - dataAt;
    if (f.size && !gaveUp && d.packed < d.original) {
        d.method = m_.id;
    } else {
        sink.truncateTo(dataAt);  // does not shrink: keep it as it is
        store(f, sink, d, progress);
    }
    f.file.reset();
    return d;
}

void FilePacker::store(File& f, lzh::FdSink& sink, Data& d, const std::function<void(uint64_t)>& progress) {
    PreadSource src(f.file->fd.get(), 0, UINT64_MAX);
    std::vector<uint8_t> buf(1 << 16);
    d = Data{lzh::kStoredId, 0, 0, 0};
    try {
        while (size_t n = src.read(buf.data(), buf.size())) {
            d.crc = lzh::crc16(d.crc, buf.data(), n);
            sink.write(buf.data(), n);
            d.original += n;
            if ((d.original & ((1u << 24) - 1)) < n) progress(d.original);
        }
    } catch (const lzh::Error& e) {
        if (e.code == UNLHA_ERR_READ) throw lzh::Error(e.code, f.path + ": " + e.what());
        throw;
    }
    d.packed = d.original;
}

}  // namespace archive
