#pragma once
// The operating system calls the archiver makes, under their POSIX names in
// namespace sys. On Windows they are implemented over the wide-character API
// and every path is UTF-8; names from callers arrive in the system code page.
#ifdef _WIN32
#include "win32/sys.h"
#else
#include "posix/sys.h"
#endif
