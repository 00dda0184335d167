// Makes a proposed queue name distinct from the queues that exist already,
// by one search for a free name; the two set-up paths differ only in where
// it starts. Names are compared without regard to case, as CUPS compares
// them.
#pragma once

// pszPrinterName is a writable buffer of NAME_SIZE bytes. When the name
// occurs inside the names of existing destinations, it is rewritten in place
// as "<name>_<count of those destinations>", the number raised further while
// a queue of that name exists. Writes what it finds. Returns false, after an
// "Error> " line and with the name unchanged, when the server's queues
// cannot be listed.
bool GetPrinterList(char* pszPrinterName);

// Quietly, for a queue that always bears one name: leaves the name as it is
// when no queue has it, otherwise rewrites it as "<name>_<n>" with the lowest
// n from 1 that no queue has. Fails as GetPrinterList does.
bool MakeQueueNameFree(char* pszPrinterName);
