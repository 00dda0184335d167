// What IPP Everywhere asks of every printer and PAPPL 1.3.1 leaves to the
// driver: a way to identify the printer (it prints a short slip with the
// message, or its name, and cuts it off) and the attributes that say the
// printer renders no colour intents, prints one side and knows no
// preferred values.
#ifndef KORLA_EVERYWHERE_SUPPORT_H
#define KORLA_EVERYWHERE_SUPPORT_H

#include <pappl/pappl.h>

#include <string>

void AddEverywhereSupport(pappl_pr_driver_data_t* driverData, ipp_t* driverAttributes);

// The line an identification slip prints: the message's printable ASCII,
// anything else as "?", so that no text becomes a printer command.
std::string SlipText(const char* message);

#endif
