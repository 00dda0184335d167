#include "form_fields.h"

namespace {

const Choices PARITY_LABELS = {{PARITY_WORDS[0], "None"}, {PARITY_WORDS[1], "Even"}, {PARITY_WORDS[2], "Odd"}};
const Choices FLOW_LABELS = {
    {FLOW_WORDS[0], "Hardware (RTS/CTS)"}, {FLOW_WORDS[1], "Software (XON/XOFF)"}, {FLOW_WORDS[2], "None"}};

template <size_t N>
Choices NumberChoices(const int (&numbers)[N], const char* unit)
{
    Choices choices;
    for (int number : numbers)
        choices.emplace_back(std::to_string(number), std::to_string(number) + unit);
    return choices;
}

void ShowSelectRow(pappl_client_t* client, const char* label, const char* name, const Choices& choices,
                   const std::string& selected)
{
    ShowRow(client, label);
    ShowSelect(client, name, choices, selected);
    papplClientHTMLPuts(client, "</td></tr>\n");
}

}  // namespace

void ShowSelect(pappl_client_t* client, const char* name, const Choices& choices, const std::string& selected)
{
    papplClientHTMLPrintf(client, "<select name=\"%s\" id=\"%s\">", name, name);
    for (const auto& [value, label] : choices)
        papplClientHTMLPrintf(client, "<option value=\"%s\"%s>%s</option>", value.c_str(),
                              value == selected ? " selected" : "", label.c_str());
    papplClientHTMLPuts(client, "</select>");
}

void ShowRow(pappl_client_t* client, const char* label)
{
    papplClientHTMLPrintf(client, "<tr><th>%s:</th><td>", label);
}

LineFields LineFieldsOf(const SerialLine& line)
{
    return {std::to_string(line.baud), std::to_string(line.dataBits), PARITY_WORDS[static_cast<int>(line.parity)],
            FLOW_WORDS[static_cast<int>(line.flow)]};
}

LineFields LineFieldsFrom(int count, cups_option_t* fields)
{
    return {Field("baud", count, fields), Field("bits", count, fields), Field("parity", count, fields),
            Field("flow", count, fields)};
}

void ShowLineRows(pappl_client_t* client, const LineFields& line)
{
    ShowSelectRow(client, "Serial Speed", "baud", NumberChoices(BAUD_RATES, " baud"), line.baud);
    ShowSelectRow(client, "Data Bits", "bits", NumberChoices(DATA_BITS, " bits"), line.bits);
    ShowSelectRow(client, "Parity", "parity", PARITY_LABELS, line.parity);
    ShowSelectRow(client, "Flow Control", "flow", FLOW_LABELS, line.flow);
}

std::string SerialUriWith(const std::string& port, const LineFields& line, std::string& error)
{
    const std::string uri = std::string(SERIAL_SCHEME) + ":" + port + "?baud=" + line.baud + "+bits=" + line.bits +
                            "+parity=" + line.parity + "+flow=" + line.flow;
    const std::optional<SerialLine> parsed = ParseSerialUri(uri, error);
    return parsed ? SerialUri(*parsed) : "";
}

std::string Field(const char* name, int count, cups_option_t* fields)
{
    const char* value = cupsGetOption(name, count, fields);
    return value ? value : "";
}
