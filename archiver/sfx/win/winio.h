#pragma once
// Win32 pieces the Windows stubs share: text conversions and byte streams
// over file handles.
#include <windows.h>

#include <string>

#include "lzh/stream.h"

namespace winstub {

// Names travel through the stub as UTF-8 and meet the system as UTF-16, so
// that no code page of the machine can change them.
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);

// Closes the handle when it leaves scope.
class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return h_; }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    bool close();
    void reset(HANDLE h) {
        close();
        h_ = h;
    }

private:
    HANDLE h_;
};

class HandleSource : public lzh::ByteSource {
public:
    explicit HandleSource(HANDLE h) : h_(h) {}
    size_t read(uint8_t* dst, size_t n) override;

private:
    HANDLE h_;
};

// Buffered; a failed write throws UNLHA_ERR_WRITE.
class HandleSink : public lzh::ByteSink {
public:
    HandleSink(HANDLE h, std::string what) : h_(h), what_(std::move(what)) {}
    void write(const uint8_t* src, size_t n) override;
    void flush();

private:
    HANDLE h_;
    std::string what_;
    std::string buf_;
};

// Writes UTF-8 text: as UTF-16 to a console, as it is to a file or pipe.
void say(HANDLE to, const std::string& utf8);

// Decimal digits, without the C library's formatting (it would double the stub's size).
std::string decimal(uint64_t n);

// The system's message for an error code, in UTF-8.
std::string systemMessage(DWORD code);

}  // namespace winstub
