// The folder that holds the application's state, spool, log and local
// socket: given with --dir DIR or KORLA_PRINTER_APP_DIR, else a fixed one.
#ifndef KORLA_APP_FOLDER_H
#define KORLA_APP_FOLDER_H

#include <string>

inline constexpr char APP_NAME[] = "korla-printer-app";
inline constexpr char FOLDER_VARIABLE[] = "KORLA_PRINTER_APP_DIR";

// Takes "--dir DIR" or "--dir=DIR" out of the arguments (PAPPL's own parser
// knows neither) and returns the folder to use: the option, else the
// variable, else /var/lib/korla-printer-app for root and
// ~/.korla-printer-app for anyone else. "" when --dir lacks its value.
std::string TakeFolderOption(int& argc, char* argv[]);

// Makes every part of PAPPL, the server and the sub-commands that talk to
// it, use the folder; creates it when missing. False when it cannot.
bool UseFolder(const std::string& folder);

// The folder in use, after UseFolder.
std::string AppFolder();

// The server's local socket in the folder, where the sub-commands reach it.
std::string ServerSocket();

#endif
