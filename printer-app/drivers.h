// The printer application's drivers: the receipt printer on 80 mm and on
// 58 mm rolls, 203 dpi, one bit a dot, the head 72 and 48 mm wide.
#ifndef KORLA_DRIVERS_H
#define KORLA_DRIVERS_H

#include <pappl/pappl.h>

#include <cstdint>

// Dots per inch, across and down.
inline constexpr int PRINTER_DPI = 203;

// The printer's own format: ESC/POS bytes, sent as they are.
inline constexpr char PRINTER_FORMAT[] = "application/vnd.escpos";

// The driver list that papplMainloop and the system are given.
pappl_pr_driver_t* ReceiptDrivers(int& count);

// Fills the driver data and attributes of a new printer (pappl_pr_driver_cb_t).
bool ReceiptDriverCallback(pappl_system_t* system, const char* driverName, const char* deviceUri,
                           const char* deviceId, pappl_pr_driver_data_t* driverData, ipp_t** driverAttributes,
                           void* data);

// The driver for a device that says it is our printer (pappl_pr_autoadd_cb_t).
const char* ReceiptAutoAddCallback(const char* deviceInfo, const char* deviceUri, const char* deviceId, void* data);

// Dots the head prints across the roll of the printer's driver.
unsigned PrintableWidth(pappl_printer_t* printer);

// Rows of the longest receipt the printer takes: the length of its
// largest medium (roll_max). A receipt is as long as its content up to
// this.
uint32_t MaxReceiptRows(pappl_printer_t* printer);

// Rows of paper as millimetres, to the nearest, for messages.
uint32_t RowsToMillimetres(uint32_t rows);

// Millimetres the roll of the printer's driver is wide.
unsigned RollMillimetres(pappl_printer_t* printer);

#endif
