// The sub-command "open-drawer -d PRINTER [--drawer 1|2]": asks the running
// server to open a cash drawer of the printer, as its web page's button
// does, and waits until the printer has been sent the pulse.
#ifndef KORLA_OPEN_DRAWER_COMMAND_H
#define KORLA_OPEN_DRAWER_COMMAND_H

#include <pappl/pappl.h>

inline constexpr char OPEN_DRAWER_COMMAND[] = "open-drawer";

// PAPPL's parser knows no --drawer: "--drawer N" and "--drawer=N" become
// "-o drawer=N", which reaches the sub-command among its options. Returns
// the arguments to hand PAPPL; they live as long as the process.
char** TakeDrawerOption(int& argc, char* argv[]);

// The sub-command (pappl_ml_subcmd_cb_t): 0 when the drawer was pulsed.
int OpenDrawerCommand(const char* baseName, int numOptions, cups_option_t* options, int numFiles, char** files,
                      void* data);

#endif
