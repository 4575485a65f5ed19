#pragma once
// Byte sources and sinks: the codecs stream through these so memory stays
// bounded by their buffers, never by the size of a file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lzh {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; returns 0 only at the end.
    virtual size_t read(uint8_t* dst, size_t n) = 0;
    // Drops n bytes; false when the source ends first.
    virtual bool skip(uint64_t n);
    // Reads exactly n bytes; false when the source ends first.
    bool readFull(uint8_t* dst, size_t n);
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const uint8_t* src, size_t n) = 0;
};

// Reads a file descriptor it does not own; read errors throw `errorCode`.
class FdSource : public ByteSource {
public:
    FdSource(int fd, int errorCode, std::string what) : fd_(fd), code_(errorCode), what_(std::move(what)) {}
    size_t read(uint8_t* dst, size_t n) override;
    bool skip(uint64_t n) override;
    uint64_t position() const { return pos_ - (len_ - off_); }

private:
    int fd_;
    int code_;
    std::string what_;
    std::vector<uint8_t> buf_ = std::vector<uint8_t>(1 << 16);
    size_t off_ = 0, len_ = 0;
    uint64_t pos_ = 0;  // file offset just past the buffered bytes
};

// Serves at most `limit` bytes of another source.
class LimitedSource : public ByteSource {
public:
    LimitedSource(ByteSource& in, uint64_t limit) : in_(in), left_(limit) {}
    size_t read(uint8_t* dst, size_t n) override;
    uint64_t left() const { return left_; }

private:
    ByteSource& in_;
    uint64_t left_;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    size_t read(uint8_t* dst, size_t n) override;

private:
    const uint8_t* p_;
    size_t n_;
};

// Buffered writer over a descriptor it does not own; errors throw
// UNLHA_ERR_WRITE, or UNLHA_ERR_DISK_FULL when space ran out.
class FdSink : public ByteSink {
public:
    FdSink(int fd, std::string what) : fd_(fd), what_(std::move(what)) {}
    ~FdSink() override = default;
    void write(const uint8_t* src, size_t n) override;
    void flush();
    uint64_t position() const { return pos_ + fill_; }
    // Moves the write position (flushes first) and cuts the file there.
    void truncateTo(uint64_t pos);
    // Overwrites bytes already written at `pos` (in the buffer, or flushes first).
    void patch(uint64_t pos, const uint8_t* src, size_t n);

private:
    int fd_;
    std::string what_;
    std::vector<uint8_t> buf_ = std::vector<uint8_t>(1 << 16);
    size_t fill_ = 0;
    uint64_t pos_ = 0;
};

class VectorSink : public ByteSink {
public:
    std::vector<uint8_t> data;
    void write(const uint8_t* src, size_t n) override { data.insert(data.end(), src, src + n); }
};

// Counts and discards.
class NullSink : public ByteSink {
public:
    uint64_t count = 0;
    void write(const uint8_t*, size_t n) override { count += n; }
};

}  // namespace lzh
