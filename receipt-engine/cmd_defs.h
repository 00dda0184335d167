// ESC/POS command tables of the receipt printer.
//
// Every fixed command the filter knows is a constant record here, named by
// table and row; the enumerations name the rows. Rows that the filter never
// sends are kept so that the table describes the printer's command set whole.
#ifndef KORLA_CMD_DEFS_H
#define KORLA_CMD_DEFS_H

#include "printer_command.h"

enum printer_enable_e { PRINTER_ENABLE, PRINTER_DISABLE };

enum char_set_e {
    CS_USA, CS_FRENCH, CS_GERMANY, CS_UK, CS_DENMARK_I, CS_SWEDEN, CS_ITALY,
    CS_SPAIN, CS_JAPAN, CS_NORWAY, CS_DENMARK_II, CS_SPAIN_II,
    CS_LATIN_AMERICA, CS_KOREA
};

enum char_table_e {
    CST_PC437_USA, CST_KATAKANA, CST_PC850, CST_PC860, CST_PC863, CST_PC865,
    CST_PC737, CST_WPC1252, CST_PC866, CST_PC852, CST_PC858, CST_THAI11,
    CST_THAI18, CST_PC775, CST_PC855, CST_PC862, CST_PC864, CST_FARSI,
    CST_WPC1250, CST_WPC1251, CST_WPC1253, CST_WPC1255, CST_WPC1256,
    CST_WPC1257, CST_THAI_INDDUSTRIAL_STANDARD620, CST_THAI42, CST_THAI14,
    CST_THAI16, CST_SYSTEM_IRAN_CODE, CST_SPACE_PAGE
};

enum paper_end_sensor_e {
    PSEN_ROLL_END_NEAR_SENSOR_DIABLED,
    PSEN_ROLL_END_NEAR_SENSOR_ENABLED,
    PSEN_ROLL_END_NEAR_SENSOR_ENABLED_1,
    PSEN_ROLL_END_SENSOR_ENABLED,
    PSEN_ROLL_END_SENSOR_ENABLED_1
};

enum paper_end_stop_sensor_e {
    PSEN_STOP_ROLL_END_NEAR_SENSOR_DIABLED,
    PSEN_STOP_ROLL_END_NEAR_SENSOR_ENABLED,
    PSEN_STOP_ROLL_END_NEAR_SENSOR_ENABLED_1
};

// ESC @: initialise the printer.
inline constexpr ORVIL_CMD Initilize_Printer = {"\x1b\x40", 2};

// ESC = n: select (1) or deselect (0) the printer.
inline constexpr ORVIL_CMD Enable_Printer[] = {
    {"\x1b\x3d\x01", 3},
    {"\x1b\x3d\x00", 3},
};

// ESC R n: international character set n (the row number).
inline constexpr ORVIL_CMD Select_International_Char_Set[] = {
    {"\x1b\x52\x00", 3}, {"\x1b\x52\x01", 3}, {"\x1b\x52\x02", 3},
    {"\x1b\x52\x03", 3}, {"\x1b\x52\x04", 3}, {"\x1b\x52\x05", 3},
    {"\x1b\x52\x06", 3}, {"\x1b\x52\x07", 3}, {"\x1b\x52\x08", 3},
    {"\x1b\x52\x09", 3}, {"\x1b\x52\x0a", 3}, {"\x1b\x52\x0b", 3},
    {"\x1b\x52\x0c", 3}, {"\x1b\x52\x0d", 3},
};

// ESC t n: character code table; n is the printer's page number.
inline constexpr ORVIL_CMD Select_Char_Code_Table[] = {
    {"\x1b\x74\x00", 3}, {"\x1b\x74\x01", 3}, {"\x1b\x74\x02", 3},
    {"\x1b\x74\x03", 3}, {"\x1b\x74\x04", 3}, {"\x1b\x74\x05", 3},
    {"\x1b\x74\x0e", 3}, {"\x1b\x74\x10", 3}, {"\x1b\x74\x11", 3},
    {"\x1b\x74\x12", 3}, {"\x1b\x74\x13", 3}, {"\x1b\x74\x15", 3},
    {"\x1b\x74\x1a", 3}, {"\x1b\x74\x21", 3}, {"\x1b\x74\x22", 3},
    {"\x1b\x74\x24", 3}, {"\x1b\x74\x25", 3}, {"\x1b\x74\x29", 3},
    {"\x1b\x74\x2d", 3}, {"\x1b\x74\x2e", 3}, {"\x1b\x74\x2f", 3},
    {"\x1b\x74\x31", 3}, {"\x1b\x74\x32", 3}, {"\x1b\x74\x33", 3},
    {"\x1b\x74\x5f", 3}, {"\x1b\x74\x60", 3}, {"\x1b\x74\x61", 3},
    {"\x1b\x74\x62", 3}, {"\x1b\x74\x63", 3}, {"\x1b\x74\xff", 3},
};

// ESC c 3 n: paper sensors that report the paper end (third byte is 0x03).
inline constexpr ORVIL_CMD Select_Paper_End_Sensor_Enabled[] = {
    {"\x1b\x63\x03\x00", 4}, {"\x1b\x63\x03\x01", 4},
    {"\x1b\x63\x03\x02", 4}, {"\x1b\x63\x03\x04", 4},
    {"\x1b\x63\x03\x08", 4},
};

// ESC c 4 n: paper sensors that stop printing (third byte is 0x04).
inline constexpr ORVIL_CMD Select_Paper_Sensor_Stop_Printing[] = {
    {"\x1b\x63\x04\x00", 4}, {"\x1b\x63\x04\x01", 4},
    {"\x1b\x63\x04\x02", 4},
};

// GS P 180 180: motion units of 1/180 inch both ways.
inline constexpr ORVIL_CMD Set_Horizontal_Vertical_Units = {"\x1d\x50\xb4\xb4", 4};

// GS P 180 203: the vertical motion unit one dot row of the 203 dpi head, so
// that a feed moves the paper by whole rows on every printer.
inline constexpr ORVIL_CMD Set_Dot_Row_Vertical_Unit = {"\x1d\x50\xb4\xcb", 4};

// ESC J n: print and feed n vertical motion units.
inline constexpr ORVIL_CMD Set_Feed_unit[] = {
    {"\x1b\x4a\x16", 3},  // before every cut
    {"\x1b\x4a\x01", 3},  // after every page image
};

// Rows 0 and 1 are indexed by the cut mode (orvil_papersource_e).
inline constexpr ORVIL_CMD Cut_Paper[] = {
    {"\x1d\x56\x42\x00", 4},  // GS V 66 0: feed to the cutter, partial cut
    {"\x1d\x56\x01\x00", 4},  // GS V 1 and a NUL: partial cut, no feed
    {"\x1d\x64\x01", 3},      // GS d 1
};

inline constexpr ORVIL_CMD LINE_FEED = {"\x0a", 1};

#endif
