#include "cmdline.h"

const char *CommandTail(const char *cmdLine)
{
    const char *p = cmdLine;
    if (*p == '"') {
        /* A quoted program name may hold blanks. */
        while (*++p && *p != '"') {
        }
        if (*p == '"')
            p++;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            p++;
    }
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}
