// Makes a proposed queue name distinct from the queues that exist already.
#pragma once

// pszPrinterName is a writable buffer of NAME_SIZE bytes. When the name
// occurs inside the names of existing destinations, it is rewritten in place
// as "<name>_<count of those destinations>", the number raised further while
// a queue of that name exists.
void GetPrinterList(char* pszPrinterName);
