#pragma once
// The operating system calls the archiver makes, under their POSIX names in
// namespace sys. On Windows they are implemented over the wide-character API
// and every path is UTF-8; names from callers arrive in the system code page.
#ifdef _WIN32
#include "platform/win32/sys.h"
#else
#include "platform/posix/sys.h"
#endif
