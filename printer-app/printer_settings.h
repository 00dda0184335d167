// The receipt settings of a printer and of its jobs, kept in PAPPL's IPP
// attributes: the printer's defaults as "NAME-default" driver attributes
// (settable on the web page and with Set-Printer-Attributes), a job's own
// values as its job attributes.
#ifndef KORLA_PRINTER_SETTINGS_H
#define KORLA_PRINTER_SETTINGS_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <pappl/pappl.h>

#include "receipt_attributes.h"

// Names every receipt setting as a vendor attribute of the driver, and adds
// its choices ("NAME-supported") and the PPD's default ("NAME-default").
void AddReceiptAttributes(pappl_pr_driver_data_t* driverData, ipp_t* driverAttributes);

// The value of an attribute as text; "" when there is none.
std::string ValueOf(ipp_attribute_t* attribute);

// The job's settings: its own value for each setting, else the printer's
// default, else (when the stored default is not one of its choices) the
// setting's shipped default. Nothing when a value of the job's own is not
// one of its setting's choices; the message then says which.
std::optional<JobSettings> JobSettingsFor(pappl_job_t* job, std::string& message);

// The same for a job about to print; when there are none, the job's log
// and its message say "Not printed: " and why.
std::optional<JobSettings> JobSettingsToPrint(pappl_job_t* job);

// Every receipt setting in effect for the job, in the web page's words:
// its label and the label of its value.
std::vector<std::pair<std::string, std::string>> SettingsInWords(pappl_job_t* job);

// Whether a printer default may be stored (pappl_vendor_default_cb_t): a
// receipt setting's must be one of its choices.
bool IsValidPrinterDefault(pappl_printer_t* printer, const char* name, const char* value, void* data);

// Says in the printer's state message (printer-state-message, its web page)
// which stored defaults are not choices of their settings and are printed
// with the shipped default instead; clears it when every one is.
void ShowInvalidDefaults(pappl_printer_t* printer);

#endif
