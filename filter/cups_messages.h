// Messages for CUPS: lines on standard error, which CUPS shows in the job's
// state and writes to its log ("ERROR: ...", "WARNING: ...", "INFO: ...")
// and counts pages by ("PAGE: ...").
#ifndef KORLA_CUPS_MESSAGES_H
#define KORLA_CUPS_MESSAGES_H

__attribute__((format(printf, 1, 2))) void TellCups(const char* format, ...);

#endif
