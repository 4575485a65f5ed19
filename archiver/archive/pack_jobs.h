#pragma once
// Packs pieces of files on worker threads, each with its own encoder, while
// the caller takes the results in the order it submitted them. A file is cut
// into pieces at fixed offsets, each packed with the window's worth of data
// before it, so the joined stream is the same whatever the number of threads.
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

// Every core this process may run on.
unsigned usableCores();

struct PackFile {
    Fd fd;
    std::atomic<bool> skip{false};  // stored after all: its other pieces need not be packed
};

struct Piece {
    std::shared_ptr<PackFile> file;
    uint64_t offset = 0, size = 0;  // size is ignored for the last piece, which runs to the end
    bool last = false;
    // Filled by whoever packs it.
    std::vector<uint8_t> packed;
    lzh::EncodeResult result;
    std::exception_ptr error;
    bool skipped = false;
    std::atomic<uint64_t> consumed{0};  // input bytes read so far, for progress
    bool done = false;                  // guarded by the pool's lock
};

class PackJobs {
public:
    // With one thread, pieces are packed in wait() on the caller's thread.
    PackJobs(unsigned threads, const lzh::LzMethod& m);
    ~PackJobs();
    bool inline_() const { return workers_.empty(); }
    void submit(std::shared_ptr<Piece> p);
    // Returns once `p` is packed; calls `poll` about every 50 ms meanwhile
    // (or between blocks when packing on this thread), which may throw.
    void wait(Piece& p, const std::function<void()>& poll);

private:
    void work();
    void pack(lzh::Encoder& enc, Piece& p, const std::function<void(uint64_t)>& onProgress);

    const lzh::LzMethod& m_;
    std::mutex mu_;
    std::condition_variable ready_, finished_;
    std::deque<std::shared_ptr<Piece>> queue_;
    bool quit_ = false;
    std::atomic<bool> stop_{false};
    std::vector<std::thread> workers_;
    lzh::Encoder own_;  // the caller's, for packing inline
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
    // `paths`: the files in the order they will be written.
    FilePacker(const lzh::LzMethod& m, unsigned threads, std::vector<std::string> paths);
    // Opens the next file; returns its size then (throws its open error).
    uint64_t open();
    // Writes the data of the file open() returned, packed, or stored when it
    // does not shrink. `progress` gets the bytes of it done so far and may throw.
    Data write(lzh::FdSink& sink, const std::function<void(uint64_t)>& progress);

private:
    struct File {
        std::string path;
        std::shared_ptr<PackFile> file;
        uint64_t size = 0;
        std::exception_ptr error;
        uint64_t next = 0;  // offset of the next piece to submit
        std::deque<std::shared_ptr<Piece>> pieces;
    };
    void ahead();
    void store(File& f, lzh::FdSink& sink, Data& d, const std::function<void(uint64_t)>& progress);

    const lzh::LzMethod& m_;
    PackJobs jobs_;
    std::vector<File> files_;
    size_t cur_ = 0;         // the file open() returned last, plus one
    size_t opened_ = 0;      // files opened so far
    size_t submitting_ = 0;  // the file whose pieces are being submitted
    size_t inFlight_ = 0, limit_;
};

}  // namespace archive
