#include "cups_messages.h"

#include <cstdarg>
#include <cstdio>

void TellCups(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
}
