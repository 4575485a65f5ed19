// The C entry points of libunlha32.so.
#include "unlha32.h"

#include <cstring>
#include <new>

#include "archive/archive.h"
#include "command/command.h"
#include "lzh/error.h"
#include "progress/progress_window.h"
#include "platform/sys.h"

extern "C" UNLHA_API int UNLHA_CALL UnlhaGetVersion(void) { return UNLHA_VERSION; }

namespace {

// utf8: the command and the output are UTF-8 rather than the caller's code page.
int run(void* owner, const char* command, char* output, unsigned long size, bool utf8) {
    std::string text;
    int rc = archive::guarded(
        [&] {
            if (!command) lzh::fail(UNLHA_ERR_COMMAND, "no command");
            archive::Options opt =
                command::parse(command::splitWords(utf8 ? std::string(command) : sys::fromCallerText(command)));
            return opt.showProgress ? progress::run(owner, opt, text) : command::run(opt, text);
        },
        text);
    if (!utf8) text = sys::toCallerText(text);
    if (output && size > 0) {
        size_t n = text.size() < size - 1 ? text.size() : size - 1;
        std::memcpy(output, text.data(), n);
        output[n] = '\0';
    }
    return rc;
}

}  // namespace

extern "C" UNLHA_API int UNLHA_CALL Unlha(void* owner, const char* command, char* output, unsigned long size) {
    return run(owner, command, output, size, false);
}

extern "C" UNLHA_API int UNLHA_CALL UnlhaUtf8(void* owner, const char* command, char* output, unsigned long size) {
    return run(owner, command, output, size, true);
}
