// The PAPPL system of "korla-printer-app server": its folder, listeners,
// web interface and the drivers.
#ifndef KORLA_SERVER_SYSTEM_H
#define KORLA_SERVER_SYSTEM_H

#include <pappl/pappl.h>

// The line at the foot of every web page.
inline constexpr char FOOTER_HTML[] = "KORLA Tessa-300 receipt printer application";

// What the system is made for, the data of CreateServerSystem.
struct ServerRole {
    bool serving;  // the server sub-command: it listens on the network
};

// Creates the system (pappl_ml_system_cb_t); data is a ServerRole. PAPPL
// adds the local socket, in the folder, for the server sub-command.
// Server options (-o NAME=VALUE):
//   server-port     TCP port, 8000 by default
//   listen-hostname where to listen: "localhost" by default, "*" for every
//                   network address
//   log-file        "-" for standard error, else a file; the folder's
//                   korla-printer-app.log by default
//   log-level       debug, info, warn, error or fatal; info by default
//   status-interval seconds between two paper checks of an idle printer,
//                   30 by default; 0 turns the paper status off
pappl_system_t* CreateServerSystem(int numOptions, cups_option_t* options, void* data);

#endif
