// Fields of the application's web forms: selects, table rows, and the four
// settings of a serial line, which the add-printer and device pages share.
#ifndef KORLA_FORM_FIELDS_H
#define KORLA_FORM_FIELDS_H

#include <pappl/pappl.h>

#include <string>
#include <utility>
#include <vector>

#include "serial_line.h"

using Choices = std::vector<std::pair<std::string, std::string>>;  // value, label

// A select named name, with the value selected chosen; text is escaped.
void ShowSelect(pappl_client_t* client, const char* name, const Choices& choices, const std::string& selected);

// The start of a form table's row, up to its field.
void ShowRow(pappl_client_t* client, const char* label);

// A line's settings as a form holds them, by the fields' names.
struct LineFields {
    std::string baud = std::to_string(BAUD_RATES[0]);
    std::string bits = std::to_string(DATA_BITS[0]);
    std::string parity = PARITY_WORDS[0];
    std::string flow = FLOW_WORDS[0];
};

LineFields LineFieldsOf(const SerialLine& line);
LineFields LineFieldsFrom(int count, cups_option_t* fields);

// Rows for speed, data bits, parity and flow control.
void ShowLineRows(pappl_client_t* client, const LineFields& line);

// The serial: URI of the port with the form's settings; "" with error when
// a setting is not one the line takes.
std::string SerialUriWith(const std::string& port, const LineFields& line, std::string& error);

// A posted field, "" when it is missing.
std::string Field(const char* name, int count, cups_option_t* fields);

#endif
