#include <gtest/gtest.h>

#include "cmd_defs.h"
#include "const.h"
#include "printer_bytes.h"

namespace {

std::string BytesOf(const ORVIL_CMD& cmd)
{
    return std::string(cmd.Command, static_cast<size_t>(cmd.nCmdlen));
}

TEST(CommandSet, FixedRowsHoldTheirDocumentedBytes)
{
    struct Row {
        const char* name;
        const ORVIL_CMD& cmd;
        std::string bytes;
    };
    const Row rows[] = {
        {"ESC @", Initilize_Printer, Bytes({0x1B, 0x40})},
        {"ESC = 1", Enable_Printer[PRINTER_ENABLE], Bytes({0x1B, 0x3D, 0x01})},
        {"ESC = 0", Enable_Printer[PRINTER_DISABLE], Bytes({0x1B, 0x3D, 0x00})},
        {"ESC c 3 0", Select_Paper_End_Sensor_Enabled[PSEN_ROLL_END_NEAR_SENSOR_DIABLED], Bytes({0x1B, 0x63, 0x03, 0x00})},
        {"ESC c 3 1", Select_Paper_End_Sensor_Enabled[PSEN_ROLL_END_NEAR_SENSOR_ENABLED], Bytes({0x1B, 0x63, 0x03, 0x01})},
        {"ESC c 3 2", Select_Paper_End_Sensor_Enabled[PSEN_ROLL_END_NEAR_SENSOR_ENABLED_1], Bytes({0x1B, 0x63, 0x03, 0x02})},
        {"ESC c 3 4", Select_Paper_End_Sensor_Enabled[PSEN_ROLL_END_SENSOR_ENABLED], Bytes({0x1B, 0x63, 0x03, 0x04})},
        {"ESC c 3 8", Select_Paper_End_Sensor_Enabled[PSEN_ROLL_END_SENSOR_ENABLED_1], Bytes({0x1B, 0x63, 0x03, 0x08})},
        {"ESC c 4 0", Select_Paper_Sensor_Stop_Printing[PSEN_STOP_ROLL_END_NEAR_SENSOR_DIABLED], Bytes({0x1B, 0x63, 0x04, 0x00})},
        {"ESC c 4 1", Select_Paper_Sensor_Stop_Printing[PSEN_STOP_ROLL_END_NEAR_SENSOR_ENABLED], Bytes({0x1B, 0x63, 0x04, 0x01})},
        {"ESC c 4 2", Select_Paper_Sensor_Stop_Printing[PSEN_STOP_ROLL_END_NEAR_SENSOR_ENABLED_1], Bytes({0x1B, 0x63, 0x04, 0x02})},
        {"GS P", Set_Horizontal_Vertical_Units, Bytes({0x1D, 0x50, 0xB4, 0xB4})},
        {"ESC J 22", Set_Feed_unit[0], Bytes({0x1B, 0x4A, 0x16})},
        {"ESC J 1", Set_Feed_unit[1], Bytes({0x1B, 0x4A, 0x01})},
        {"GS V 66 0", Cut_Paper[PS_PARTIAL_CUT], Bytes({0x1D, 0x56, 0x42, 0x00})},
        {"GS V 1 NUL", Cut_Paper[PS_PARTIAL_CUT_NOFEED], Bytes({0x1D, 0x56, 0x01, 0x00})},
        {"GS d 1", Cut_Paper[2], Bytes({0x1D, 0x64, 0x01})},
        {"LF", LINE_FEED, Bytes({0x0A})},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Hex(BytesOf(row.cmd)), Hex(row.bytes)) << row.name;
}

TEST(CommandSet, InternationalCharacterSetRowNEndsInN)
{
    ASSERT_EQ(sizeof Select_International_Char_Set / sizeof(ORVIL_CMD), 14u);
    for (int n = CS_USA; n <= CS_KOREA; ++n)
        EXPECT_EQ(BytesOf(Select_International_Char_Set[n]), Bytes({0x1B, 0x52, n})) << n;
}

TEST(CommandSet, CodeTableRowsCarryThePrinterPageNumbers)
{
    const int pages[] = {0, 1, 2, 3, 4, 5, 14, 16, 17, 18, 19, 21, 26, 33, 34,
                         36, 37, 41, 45, 46, 47, 49, 50, 51, 95, 96, 97, 98, 99, 255};
    ASSERT_EQ(sizeof Select_Char_Code_Table / sizeof(ORVIL_CMD), std::size(pages));
    for (int row = CST_PC437_USA; row <= CST_SPACE_PAGE; ++row)
        EXPECT_EQ(BytesOf(Select_Char_Code_Table[row]), Bytes({0x1B, 0x74, pages[row]})) << row;
}

}  // namespace
