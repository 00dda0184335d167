// The trace call. Operations trace what they do and why they give up; the
// trace produces no output, but the format is type-checked at every call.
#ifndef KORLA_TRACE_H
#define KORLA_TRACE_H

__attribute__((format(printf, 1, 2))) inline void KORLALog(const char* /*szMsg*/, ...)
{
}

#endif
