/* Answers each command with a description of how it was called. */
#include <stdio.h>
#include <string.h>

#include "unlha32.h"

int UnlhaGetVersion(void) { return 0x10000 + 115; /* high bits must be ignored */ }

int Unlha(void *owner, const char *command, char *output, unsigned long size) {
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
