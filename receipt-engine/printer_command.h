// One printer command: what the engine's senders take, without the command
// tables (cmd_defs.h) that only the engine's own files need.
#ifndef KORLA_PRINTER_COMMAND_H
#define KORLA_PRINTER_COMMAND_H

// Its bytes (not terminated, may hold 0x00) and their count.
typedef struct __ORVIL_CMD {
    const char* Command;
    int nCmdlen;
} ORVIL_CMD;

#endif
