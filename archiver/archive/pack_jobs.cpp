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
struct PieceGivesUp {};

// A batch is sent once it holds this many bytes or files.
constexpr uint64_t kBatchBytes = uint64_t{1} << 18;
constexpr size_t kBatchFiles = 64;

// Reads a file from an offset by pread, leaving the descriptor's position
// alone. A short read at or past `listed` (the size the file had when it
// was listed) is taken as its end, which saves the call that returns 0.
class PreadSource : public lzh::ByteSource {
public:
    PreadSource(int fd, uint64_t offset, uint64_t limit, uint64_t listed = UINT64_MAX)
        : fd_(fd), off_(offset), left_(limit), listed_(listed) {}
    size_t read(uint8_t* dst, size_t n) override {
        if (n > left_) n = static_cast<size_t>(left_);
        for (;;) {
            if (!n || ended_) return 0;
            ssize_t r = sys::pread(fd_, dst, n, static_cast<int64_t>(off_));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) lzh::fail(UNLHA_ERR_READ, sysError(errno));
            off_ += static_cast<uint64_t>(r);
            left_ -= static_cast<uint64_t>(r);
            ended_ = static_cast<size_t>(r) < n && off_ >= listed_;
            return static_cast<size_t>(r);
        }
    }
    uint64_t offset() const { return off_; }

private:
    int fd_;
    uint64_t off_, left_, listed_;
    bool ended_ = false;
};

int openFile(const std::string& path) {
    int fd = sys::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) lzh::fail(UNLHA_ERR_READ, sysError(errno));
    return fd;
}
}  // namespace

void PackFile::shrinks() {
    {
        std::lock_guard<std::mutex> lock(mu_);
        if (shrunk_) return;
        shrunk_ = true;
    }
    cv_.notify_all();
}

void PackFile::ended(uint64_t nextOffset, int64_t grown) {
    {
        std::lock_guard<std::mutex> lock(mu_);
        if (shrunk_ || nextOffset <= turn_) return;
        turn_ = nextOffset;
        grown_ += grown;
    }
    cv_.notify_all();
}

PackFile::Turn PackFile::awaitTurn(uint64_t offset) {
    std::unique_lock<std::mutex> lock(mu_);
    cv_.wait(lock, [&] { return shrunk_ || offset <= turn_; });
    return {shrunk_, grown_};
}

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

void PackJobs::submit(Job job) {
    if (inline_()) {
        for (auto& p : job) own_.push_back(std::move(p));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mu_);
        queue_.push_back(std::move(job));
    }
    ready_.notify_one();
}

void PackJobs::wait(Piece& p, const std::function<void()>& poll) {
    if (inline_()) {
        // Pieces run in the order submitted; this one is at the front.
        std::shared_ptr<Piece> keep = std::move(own_.front());
        own_.pop_front();
        try {
            packInTurn(enc_, p, [&](uint64_t) { poll(); });
        } catch (const Stopped&) {
            p.skipped = true;  // its file is stored after all
        }
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
        Job job;
        {
            std::unique_lock<std::mutex> lock(mu_);
            ready_.wait(lock, [&] { return quit_ || !queue_.empty(); });
            if (quit_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        for (auto& p : job) {
            try {
                packInTurn(enc, *p, [&](uint64_t) {
                    if (stop_ || (p->file && p->file->skip)) throw Stopped{};
                });
            } catch (const Stopped&) {
                p->skipped = true;
            } catch (...) {
                p->error = std::current_exception();
            }
        }
        {
            std::lock_guard<std::mutex> lock(mu_);
            for (auto& p : job) p->done = true;
        }
        finished_.notify_all();
    }
}

// A piece of a file of several waits for its turn; the piece before it is
// dequeued first and ends however it ends, so the wait always ends.
void PackJobs::packInTurn(lzh::Encoder& enc, Piece& p, const std::function<void(uint64_t)>& onProgress) {
    if (!p.file) return pack(enc, p, nullptr, onProgress);
    const PackFile::Turn turn = p.file->awaitTurn(p.offset);
    int64_t grown = 0;
    try {
        if (stop_ || p.file->skip) throw Stopped{};
        pack(enc, p, &turn, onProgress);
        if (p.result.gaveUp) p.file->skip = true;  // stored: the pieces after it are dropped
        grown = static_cast<int64_t>((p.result.bits + 7) / 8) - static_cast<int64_t>(p.result.in);
        if (!p.result.gaveUp && grown < 0) p.file->shrinks();  // a piece of one chunk shows nothing before its end
    } catch (...) {
        p.file->ended(p.offset + p.size, 0);
        throw;
    }
    p.file->ended(p.offset + p.size, grown);
}

void PackJobs::pack(lzh::Encoder& enc, Piece& p, const PackFile::Turn* turn,
                    const std::function<void(uint64_t)>& onProgress) {
    Fd own;
    if (p.file && p.file->openError) lzh::fail(UNLHA_ERR_READ, sysError(p.file->openError));
    if (!p.file) own.reset(openFile(*p.path));
    const int fd = p.file ? p.file->fd.get() : own.get();
    lzh::VectorSink out;
    lzh::Progress progress = [&](uint64_t n) {
        p.consumed = n;
        if (turn && out.data.size() < n) {
            p.file->shrinks();
        } else if (turn && !turn->shrunk &&
                   turn->grown + static_cast<int64_t>(out.data.size() - n) > static_cast<int64_t>(lzh::kGiveUpBytes)) {
            throw PieceGivesUp{};  // where one stream of the whole file would
        }
        onProgress(n);
    };
    if (p.offset == 0 && p.last && p.listed <= kSmallFile) {
        // One call reads it all, and shows the end: fewer bytes than asked
        // for, no fewer than listed.
        p.input.resize(static_cast<size_t>(p.listed) + 1);
        PreadSource whole(fd, 0, p.input.size(), p.listed);
        size_t got = 0;
        while (size_t n = whole.read(p.input.data() + got, p.input.size() - got)) {
            got += n;
            if (got == p.input.size()) break;  // it grew: packed as it streams
        }
        p.whole = got < p.input.size();
        if (p.whole) {
            p.input.resize(got);
            lzh::MemorySource src(p.input.data(), got);
            p.result = enc.encode(m_, src, out, true, progress);
            p.packed = std::move(out.data);
            p.consumed = p.result.in;
            return;
        }
        p.input = {};
    }
    uint64_t hist = std::min<uint64_t>(p.offset, uint64_t{1} << m_.dicbit);
    std::vector<uint8_t> history(static_cast<size_t>(hist));
    PreadSource before(fd, p.offset - hist, hist);
    if (!before.readFull(history.data(), history.size())) lzh::fail(UNLHA_ERR_READ, "file changed while packing");
    PreadSource src(fd, p.offset, p.last ? UINT64_MAX : p.size, p.last ? p.listed : UINT64_MAX);
    try {
        p.result = enc.encode(m_, src, out, !turn, progress, history.data(), history.size());
    } catch (const PieceGivesUp&) {
        p.result = {.in = p.consumed, .gaveUp = true};
    }
    if (!p.last && !p.result.gaveUp && p.result.in != p.size) lzh::fail(UNLHA_ERR_READ, "file changed while packing");
    p.packed = std::move(out.data);
    p.consumed = p.result.in;
}

FilePacker::FilePacker(const lzh::LzMethod& m, unsigned threads, std::vector<Source> files)
    : m_(m), jobs_(threads, m), files_(std::move(files)), limit_(threads > 1 ? 2 * threads + 2 : 1) {}

// Submits pieces, in writing order, until enough batches are in flight.
// Every file has at least one piece, so the front one is the next file's.
void FilePacker::ahead() {
    Job batch;
    uint64_t bytes = 0;
    auto send = [&] {
        if (batch.empty()) return;
        batch.back()->endsJob = true;
        jobs_.submit(std::move(batch));
        batch.clear();
        bytes = 0;
        ++inFlight_;
    };
    while (inFlight_ < limit_ && submitting_ < files_.size()) {
        const Source& f = files_[submitting_];
        if (next_ && (next_ >= f.size || shared_->skip)) {
            ++submitting_;
            next_ = 0;
            shared_.reset();
            continue;
        }
        auto p = std::make_shared<Piece>();
        p->index = submitting_;
        p->path = f.path;
        p->listed = f.size;
        p->offset = next_;
        p->size = kPieceSize;
        p->last = f.size - next_ <= kPieceSize;
        if (!p->last && !shared_) {
            shared_ = std::make_shared<PackFile>();
            shared_->fd.reset(sys::open(f.path->c_str(), O_RDONLY | O_CLOEXEC));
            if (shared_->fd.get() < 0) shared_->openError = errno;
        }
        p->file = shared_;
        if (p->last) {
            ++submitting_;
            next_ = 0;
            shared_.reset();
        } else {
            next_ += kPieceSize;
        }
        bytes += p->last ? p->listed - p->offset : kPieceSize;
        pieces_.push_back(p);
        batch.push_back(std::move(p));
        if (bytes >= kBatchBytes || batch.size() >= kBatchFiles) send();
    }
    send();
}

uint64_t FilePacker::open() {
    ++cur_;
    ahead();
    return files_[cur_ - 1].size;
}

FilePacker::Data FilePacker::write(lzh::FdSink& sink, const std::function<void(uint64_t)>& progress) {
    const size_t index = cur_ - 1;
    Data d;
    uint64_t dataAt = sink.position();
    lzh::BitWriter joined;
    bool gaveUp = false, several = false;
    std::shared_ptr<Piece> first;
    for (;;) {
        ahead();
        if (pieces_.empty() || pieces_.front()->index != index) break;
        std::shared_ptr<Piece> p = std::move(pieces_.front());
        pieces_.pop_front();
        if (p->endsJob) --inFlight_;
        try {
            jobs_.wait(*p, [&] { progress(d.original + p->consumed); });
        } catch (const lzh::Error& e) {
            if (e.code == UNLHA_ERR_READ) throw lzh::Error(e.code, *p->path + ": " + e.what());
            throw;
        }
        if (!first) first = p;
        if (gaveUp) continue;  // draining what was in flight
        if (p->skipped || p->result.gaveUp) {
            gaveUp = true;
            if (p->file) p->file->skip = true;
            continue;
        }
        if (p->last && p == first) {
            sink.write(p->packed.data(), p->packed.size());  // one piece: its stream as it is
        } else {
            several = true;
            joined.append(p->packed.data(), p->result.bits);
            std::vector<uint8_t>& bytes = joined.bytes();
            sink.write(bytes.data(), bytes.size());
            bytes.clear();
        }
        d.crc = lzh::crc16Combine(d.crc, p->result.crc, p->result.in);
        d.original += p->result.in;
        p->packed = {};
    }
    if (several) {
        joined.finish();
        sink.write(joined.bytes().data(), joined.bytes().size());
    }
    d.packed = sink.position() - dataAt;
    if (d.original && !gaveUp && d.packed < d.original) {
        d.method = m_.id;
    } else {
        sink.truncateTo(dataAt);  // does not shrink: keep it as it is
        store(*first, sink, d, progress);
    }
    return d;
}

void FilePacker::store(const Piece& first, lzh::FdSink& sink, Data& d, const std::function<void(uint64_t)>& progress) {
    d = Data{lzh::kStoredId, 0, 0, 0};
    if (first.whole) {
        d.crc = lzh::crc16(0, first.input.data(), first.input.size());
        sink.write(first.input.data(), first.input.size());
        d.original = d.packed = first.input.size();
        return;
    }
    try {
        if (first.file && first.file->openError) lzh::fail(UNLHA_ERR_READ, sysError(first.file->openError));
        Fd own(first.file ? -1 : openFile(*first.path));
        PreadSource src(first.file ? first.file->fd.get() : own.get(), 0, UINT64_MAX, first.listed);
        std::vector<uint8_t> buf(1 << 16);
        while (size_t n = src.read(buf.data(), buf.size())) {
            d.crc = lzh::crc16(d.crc, buf.data(), n);
            sink.write(buf.data(), n);
            d.original += n;
            if ((d.original & ((1u << 24) - 1)) < n) progress(d.original);
        }
    } catch (const lzh::Error& e) {
        if (e.code == UNLHA_ERR_READ) throw lzh::Error(e.code, *first.path + ": " + e.what());
        throw;
    }
    d.packed = d.original;
}

}  // namespace archive
