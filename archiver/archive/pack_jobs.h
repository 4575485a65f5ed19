#pragma once
// Packs pieces of files on worker threads, each with its own encoder, while
// the caller takes the results in the order it submitted them. A file is cut
// into pieces at fixed offsets, each packed with the window's worth of data
// before it, so the joined stream is the same whatever the number of threads.
// Small files travel in batches, so that a hand-off between threads is paid
// per batch, not per file.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lzh/codec.h"
#include "fsutil.h"

namespace archive {

constexpr uint64_t kPieceSize = uint64_t{1} << 20;
// Files up to this size are read whole in one call and kept until written,
// so that one that does not shrink is stored without reading it again.
constexpr uint64_t kSmallFile = uint64_t{1} << 16;

// Every core this process may run on.
unsigned usableCores();

// What the pieces of a file of several pieces share: one descriptor, so
// that they all read one file even if another replaces it meanwhile.
//
// It is stored as one stream would be: when the output of its start runs
// past that start by kGiveUpBytes before any piece shrinks, or when the
// whole does not shrink. Until a piece is seen to shrink, its pieces are
// packed one after another, each waiting for the one before it to end and
// taking on what the pieces before it grew: a file that is then stored
// costs one core's work whatever the number of threads. Once one shrinks,
// the rest run at once and never give up.
class PackFile {
public:
    Fd fd;
    int openError = 0;
    std::atomic<bool> skip{false};  // stored after all, or stopped: its other pieces need not be packed

    struct Turn {
        bool shrunk;     // a piece before shrinks
        int64_t grown;   // else: how much the pieces before grew
    };
    void shrinks();                                  // a piece's data shrinks: every piece may run
    void ended(uint64_t nextOffset, int64_t grown);  // a piece ended: the one at nextOffset may run
    Turn awaitTurn(uint64_t offset);                 // returns once the piece at offset may run

private:
    std::mutex mu_;
    std::condition_variable cv_;
    bool shrunk_ = false;
    uint64_t turn_ = 0;
    int64_t grown_ = 0;
};

struct Piece {
    size_t index = 0;  // the file's place in the writing order
    const std::string* path = nullptr;
    std::shared_ptr<PackFile> file;  // null for a file of one piece
    uint64_t offset = 0, size = 0;   // size is ignored for the last piece, which runs to the end
    uint64_t listed = 0;             // the file's size when it was listed
    bool last = false;
    bool endsJob = false;  // the last piece of its batch
    // Filled by whoever packs it.
    std::vector<uint8_t> input;  // a small file's bytes, when it was read whole
    bool whole = false;          // input holds the whole file
    std::vector<uint8_t> packed;
    lzh::EncodeResult result;
    std::exception_ptr error;
    bool skipped = false;
    std::atomic<uint64_t> consumed{0};  // input bytes read so far, for progress
    bool done = false;                  // guarded by the pool's lock
};

using Job = std::vector<std::shared_ptr<Piece>>;

class PackJobs {
public:
    // With one thread, pieces are packed in wait() on the caller's thread.
    PackJobs(unsigned threads, const lzh::LzMethod& m);
    ~PackJobs();
    bool inline_() const { return workers_.empty(); }
    // A worker packs a job's pieces one after the other and hands them back together.
    void submit(Job job);
    // Returns once `p` is packed; calls `poll` about every 50 ms meanwhile
    // (or between blocks when packing on this thread), which may throw.
    void wait(Piece& p, const std::function<void()>& poll);

private:
    void work();
    void pack(lzh::Encoder& enc, Piece& p, const PackFile::Turn* turn, const std::function<void(uint64_t)>& onProgress);
    void packInTurn(lzh::Encoder& enc, Piece& p, const std::function<void(uint64_t)>& onProgress);

    const lzh::LzMethod& m_;
    std::mutex mu_;
    std::condition_variable ready_, finished_;
    std::deque<Job> queue_;                   // with workers
    std::deque<std::shared_ptr<Piece>> own_;  // without: packed here one by one, in order
    bool quit_ = false;
    std::atomic<bool> stop_{false};
    std::vector<std::thread> workers_;
    lzh::Encoder enc_;  // the caller's, for packing inline
};

// The data of the files an add writes, packed ahead on every thread while
// the caller writes them in order.
class FilePacker {
public:
    struct Data {
        std::string method;
        uint64_t packed = 0, original = 0;
        uint16_t crc = 0;
    };
    // A file to pack: its path (which must outlive the packer) and listed size.
    struct Source {
        const std::string* path;
        uint64_t size;
    };
    // `files`: in the order they will be written.
    FilePacker(const lzh::LzMethod& m, unsigned threads, std::vector<Source> files);
    // Moves to the next file; returns its size as listed.
    uint64_t open();
    // Writes the data of the file open() moved to, packed, or stored when it
    // does not shrink. `progress` gets the bytes of it done so far and may throw.
    Data write(lzh::FdSink& sink, const std::function<void(uint64_t)>& progress);

private:
    void ahead();
    void store(const Piece& first, lzh::FdSink& sink, Data& d, const std::function<void(uint64_t)>& progress);

    const lzh::LzMethod& m_;
    PackJobs jobs_;
    std::vector<Source> files_;
    size_t cur_ = 0;  // the file open() moved to, plus one
    // Submitting: the file, its shared state and the offset of its next piece.
    size_t submitting_ = 0;
    std::shared_ptr<PackFile> shared_;
    uint64_t next_ = 0;
    std::deque<std::shared_ptr<Piece>> pieces_;  // submitted and not yet written, in order
    size_t inFlight_ = 0, limit_;                // batches
};

}  // namespace archive
