/* Answers each command with a description of how it was called. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#include "unlha32.h"

/* The cursor a Qt caller showed during the last call: its override cursor's
   shape, -1 without one, -2 outside a Qt program. */
static int cursorDuringLastCall = -2;
int RecordingCursorDuringLastCall(void) { return cursorDuringLastCall; }

static int callerCursor(void) {
    void* (*current)(void) = (void* (*)(void))dlsym(RTLD_DEFAULT, "_ZN15QGuiApplication14overrideCursorEv");
    int (*shape)(const void*) = (int (*)(const void*))dlsym(RTLD_DEFAULT, "_ZNK7QCursor5shapeEv");
    if (!current || !shape) return -2;
    void* cursor = current();
    return cursor ? shape(cursor) : -1;
}

int UnlhaGetVersion(void) { return 0x10000 + 115; /* high bits must be ignored */ }

int Unlha(void* owner, const char* command, char* output, unsigned long size) {
    cursorDuringLastCall = callerCursor();
    if (strcmp(command, "fill") == 0) {
        memset(output, 'x', size); /* no NUL inside the buffer */
        return 0;
    }
    if (strcmp(command, "nul") == 0) {
        if (size >= 6) memcpy(output, "ab\0cd", 6);
        return 0;
    }
    if (size > 0) snprintf(output, size, "owner=%p size=%lu command=%s", owner, size, command);
    return strcmp(command, "fail") == 0 ? 0x8001 : 0;
}
