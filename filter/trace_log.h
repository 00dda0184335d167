#ifndef KORLA_TRACE_LOG_H
#define KORLA_TRACE_LOG_H

// Leaves the trace log at path holding the single line "LOG START", writable
// for whichever user runs the next job. Anything at path that is not a plain
// file of its own (a symlink, a hard link, a device, a fifo) is left alone.
void ResetTraceLog(const char* path);

#endif
