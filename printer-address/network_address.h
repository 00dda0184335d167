// What a network printer's address and port may be, for the installer's
// Ethernet set-up and the printer application's add-printer page (its port
// when none is given is in printer-link/network_link.h).
#pragma once

// True for an IPv4 address in dotted-decimal form (four parts of 0 to 255,
// no leading zeros, which some resolvers read as octal), an IPv6 address in
// brackets as it stands in a URI ("[fd00::20]"), or a DNS host name:
// labels of 1 to 63 letters, digits and hyphens, none starting or ending
// with a hyphen, 253 characters in all. A name whose last label is all
// digits is no host name, so that 999.1.1.1 or 1.2.3.4.5 are refused.
bool IsPrinterAddress(const char* pszAddress);

// True for a TCP port, 1 to 65535.
bool IsPrinterPort(int nPort);
