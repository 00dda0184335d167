#include "decoder/decoder.h"

#include "bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using escpos::Command;
using escpos::decode;
using escpos::Op;

struct SingleCommandCase {
    const char* bytes;
    Op op;
    const char* args;
};

void PrintTo(const SingleCommandCase& c, std::ostream* out) { *out << c.bytes; }


std::string caseName(const ::testing::TestParamInfo<SingleCommandCase>& info)
{
    std::string name = info.param.bytes;
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return "ByteVector" + name;
}

class SingleCommand : public ::testing::TestWithParam<SingleCommandCase> {};

TEST_P(SingleCommand, DecodesWholeWithItsArguments)
{
    const ByteVector input = hex(GetParam().bytes);
    const std::vector<Command> commands = decode(input);
    ASSERT_EQ(commands.size(), 1u) << GetParam().bytes;
    EXPECT_EQ(commands[0].op, GetParam().op);
    EXPECT_EQ(commands[0].offset, 0u);
    EXPECT_EQ(commands[0].length, input.size());
    EXPECT_EQ(commands[0].args, hex(GetParam().args));
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, SingleCommand,
    ::testing::Values(SingleCommandCase{"1B 40", Op::Initialise, ""},
                      SingleCommandCase{"1B 3D 01", Op::SelectPeripheral, "01"},
                      SingleCommandCase{"1B 52 0D", Op::InternationalCharset, "0D"},
                      SingleCommandCase{"1B 74 FF", Op::CodeTable, "FF"},
                      SingleCommandCase{"1B 63 03 02", Op::PaperEndSensors, "02"},
                      SingleCommandCase{"1B 63 04 00", Op::PaperStopSensors, "00"},
                      SingleCommandCase{"1D 50 B4 5A", Op::MotionUnits, "B4 5A"},
                      SingleCommandCase{"1B 4A 16", Op::FeedUnits, "16"},
                      SingleCommandCase{"1B 64 FF", Op::FeedLines, "FF"},
                      SingleCommandCase{"1B 61 32", Op::Justify, "32"},
                      SingleCommandCase{"1C 70 01 03", Op::StoredLogo, "01 03"},
                      SingleCommandCase{"1B 70 31 64 0A", Op::DrawerPulse, "31 64 0A"},
                      SingleCommandCase{"10 04 02", Op::StatusRequest, "02"},
                      SingleCommandCase{"1D 56 00", Op::Cut, "00"},
                      SingleCommandCase{"1D 56 30", Op::Cut, "30"},
                      SingleCommandCase{"1D 56 31", Op::Cut, "31"},
                      SingleCommandCase{"1D 56 41 05", Op::Cut, "41 05"},
                      SingleCommandCase{"1D 56 42 00", Op::Cut, "42 00"},
                      SingleCommandCase{"1D 56 61 03", Op::Cut, "61 03"},
                      SingleCommandCase{"1D 56 62 03", Op::Cut, "62 03"},
                      SingleCommandCase{"1D 56 67 01", Op::Cut, "67 01"},
                      SingleCommandCase{"1D 56 68 01", Op::Cut, "68 01"},
                      SingleCommandCase{"1D 76 30 03 01 00 02 00 AA 55", Op::RasterImage, "03 01 00 02 00"},
                      SingleCommandCase{"0A", Op::LineFeed, ""}, SingleCommandCase{"0D", Op::CarriageReturn, ""},
                      SingleCommandCase{"00", Op::Nul, ""}),
    caseName);

std::vector<Op> opsOf(const std::vector<Command>& commands)
{
    std::vector<Op> ops;
    for (const Command& command : commands) ops.push_back(command.op);
    return ops;
}

TEST(DriverSequences, SetUpIsNineCommandsWithoutErrors)
{
    const std::vector<Command> commands = decode(kDriverSetup);
    EXPECT_EQ(opsOf(commands), (std::vector<Op>{Op::Initialise, Op::Initialise, Op::Initialise, Op::SelectPeripheral,
                                                Op::InternationalCharset, Op::CodeTable, Op::PaperEndSensors,
                                                Op::PaperStopSensors, Op::MotionUnits}));
    EXPECT_EQ(commands.back().offset, 23u);
    EXPECT_EQ(commands.back().args, hex("B4 B4"));
}

TEST(DriverSequences, PageImageCarriesItsRowsAndIsFollowedByTheFeed)
{
    ByteVector rows(72 * 3);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = std::uint8_t(i);
    const std::vector<Command> commands = decode(rasterHeader(72, 3) + rows + hex("1B 4A 01"));
    ASSERT_EQ(opsOf(commands), (std::vector<Op>{Op::RasterImage, Op::FeedUnits}));
    EXPECT_EQ(escpos::rasterBytesPerRow(commands[0]), 72u);
    EXPECT_EQ(escpos::rasterRows(commands[0]), 3u);
    EXPECT_EQ(commands[0].data, rows);
    EXPECT_EQ(commands[1].offset, 8u + rows.size());
}

TEST(DriverSequences, EmptyPageImageAnnouncesNoData)
{
    EXPECT_EQ(opsOf(decode(rasterHeader(72, 0) + hex("1B 4A 01"))), (std::vector<Op>{Op::RasterImage, Op::FeedUnits}));
}

TEST(DriverSequences, CutsIncludingTheNulAfterGsV1)
{
    EXPECT_EQ(opsOf(decode(hex("1B 4A 16 1D 56 42 00"))), (std::vector<Op>{Op::FeedUnits, Op::Cut}));
    EXPECT_EQ(opsOf(decode(hex("1B 4A 16 1D 56 01 00"))), (std::vector<Op>{Op::FeedUnits, Op::Cut, Op::Nul}));
    EXPECT_EQ(opsOf(decode(hex("1B 4A 16 1B 64 06"))), (std::vector<Op>{Op::FeedUnits, Op::FeedLines}));
}

TEST(DriverSequences, LogoBlock)
{
    const std::vector<Command> commands = decode(hex("1B 64 01 1B 61 01 1C 70 01 00 1B 61 00 1B 64 02"));
    ASSERT_EQ(opsOf(commands),
              (std::vector<Op>{Op::FeedLines, Op::Justify, Op::StoredLogo, Op::Justify, Op::FeedLines}));
    EXPECT_EQ(commands[2].args, hex("01 00"));
    EXPECT_EQ(commands[4].args, hex("02"));
}

TEST(DriverSequences, DrawerPulse)
{
    const std::vector<Command> commands = decode(hex("1B 70 30 32 32"));
    ASSERT_EQ(opsOf(commands), (std::vector<Op>{Op::DrawerPulse}));
    EXPECT_EQ(commands[0].args, hex("30 32 32"));
}

TEST(Text, PrintableRunsAreOneCommandBetweenControls)
{
    const std::vector<Command> commands = decode(hex("48 69 21 0A 0D 7E"));
    ASSERT_EQ(opsOf(commands), (std::vector<Op>{Op::Text, Op::LineFeed, Op::CarriageReturn, Op::Text}));
    EXPECT_EQ(commands[0].data, hex("48 69 21"));
    EXPECT_EQ(commands[3].offset, 5u);
}

struct ErrorCase {
    const char* name;
    const char* bytes;
    std::size_t errorOffset;
    const char* messagePart;
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }


class Errors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(Errors, AreReportedAtTheirOffset)
{
    const std::vector<Command> commands = decode(hex(GetParam().bytes));
    const auto error = std::find_if(commands.begin(), commands.end(), [](const Command& c) { return c.op == Op::Error; });
    ASSERT_NE(error, commands.end()) << GetParam().bytes;
    EXPECT_EQ(error->offset, GetParam().errorOffset);
    EXPECT_NE(error->message.find(GetParam().messagePart), std::string::npos) << error->message;
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, Errors,
    ::testing::Values(
        ErrorCase{"LoneEscAtEnd", "1B 40 1B", 2, "cut short"},
        ErrorCase{"DrawerPulseCutShort", "1B 70 30 32", 0, "ESC p cut short: needs 5 bytes, 4 arrive"},
        ErrorCase{"MotionUnitsCutShort", "0A 1D 50 B4", 1, "GS P cut short"},
        ErrorCase{"SensorPrefixCutShort", "1B 63", 0, "cut short"},
        ErrorCase{"RasterHeaderCutShort", "1D 76 30 00 48 00", 0, "GS v 0 cut short: needs 8 bytes, 6 arrive"},
        ErrorCase{"CutWithoutFunction", "1D 56", 0, "GS V cut short"},
        ErrorCase{"CutWithoutN", "1D 56 42", 0, "GS V cut short: needs 4 bytes, 3 arrive"},
        ErrorCase{"UnknownCutFunction", "1D 56 02 1B 40", 0, "GS V 2: unknown cut function"},
        ErrorCase{"UnknownEscCommand", "1B 40 1B 7A", 2, "unknown command 1B 7A"},
        ErrorCase{"StandardSensorSelectorIsNotTheDrivers", "1B 63 33 02", 0, "unknown command 1B 63"},
        ErrorCase{"UnknownControlByte", "41 01 42", 1, "unknown byte 01"},
        ErrorCase{"HighBytesOneReport", "80 81 82", 0, "3 unknown bytes 80 81 82"},
        ErrorCase{"ImageDataShort", "1D 76 30 00 48 00 20 03 FF FF", 0,
                  "GS v 0 announces 57600 bytes of image data, 2 arrive"},
        ErrorCase{"BadJustification", "1B 61 FF", 0, "not a justification"},
        ErrorCase{"StoredImageZero", "1C 70 00 00", 0, "stored image number 0"},
        ErrorCase{"BadLogoMode", "1C 70 01 05", 0, "not a print mode"},
        ErrorCase{"BadDrawer", "1B 70 32 01 01", 0, "not a drawer pin"},
        ErrorCase{"BadStatusKind", "10 04 05", 0, "not a status kind"},
        ErrorCase{"BadImageMode", "1D 76 30 07 00 00 00 00", 0, "not a scale mode"},
        ErrorCase{"LogoDataCutShort", "1C 71 01 01 00 01 00 FF FF", 0, "FS q cut short: needs 15 bytes, 9 arrive"},
        ErrorCase{"SecondLogoHeaderCutShort", "1C 71 02 01 00 01 00 00 00 00 00 00 00 00 00 01", 0,
                  "FS q cut short: needs 19 bytes, 16 arrive"},
        ErrorCase{"NoLogoDefined", "1C 71 00 1B 40", 0, "no logo to define"},
        ErrorCase{"LogoOfNoWidth", "1C 71 01 00 00 01 00", 0, "x is 0, not 1-1023"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(Errors, UnknownSequenceDoesNotSwallowTheNextCommand)
{
    EXPECT_EQ(opsOf(decode(hex("1B 1B 40 1D 56 02 0A"))),
              (std::vector<Op>{Op::Error, Op::Initialise, Op::Error, Op::LineFeed}));
}

TEST(Errors, ShortImageKeepsTheDataThatArrived)
{
    const std::vector<Command> commands = decode(rasterHeader(2, 4) + hex("F0 0F 81"));
    ASSERT_EQ(opsOf(commands), (std::vector<Op>{Op::RasterImage, Op::Error}));
    EXPECT_EQ(commands[0].data, hex("F0 0F 81"));
}

TEST(Errors, HugeAnnouncedImageOnlyHoldsWhatArrived)
{
    const std::vector<Command> commands = decode(hex("1D 76 30 00 FF FF FF FF 01 02"));
    ASSERT_EQ(opsOf(commands), (std::vector<Op>{Op::RasterImage, Op::Error}));
    EXPECT_EQ(commands[0].data.size(), 2u);
    EXPECT_NE(commands[1].message.find("announces 4294836225 bytes"), std::string::npos) << commands[1].message;
}

// A job cut anywhere, its unfinished command carried into the rest, decodes
// to the same commands as the whole job: no command lost, split or doubled.
TEST(DecodeFinished, AJobCutAnywhereContinuesInTheNextPart)
{
    const ByteVector job = kDriverSetup + hex("1B 61 01 1C 70 01 00") + rasterHeader(2, 3) + hex("81 18 42 24 FF 00") +
                      hex("1B 4A 01 10 04 04 1D 56 41 16 1B 70 00 32 64 1D 56 01") +
                      hex("1C 71 02 01 00 01 00 80 40 20 10 08 04 02 01 01 00 01 00 01 02 04 08 10 20 40 80");
    const auto summary = [](const std::vector<Command>& commands) {
        std::vector<std::string> lines;
        for (const Command& c : commands) {
            const ByteVector fields = ByteVector{std::uint8_t(c.op)} + c.args + c.data;
            lines.emplace_back(fields.begin(), fields.end());
        }
        return lines;
    };
    const std::vector<std::string> whole = summary(decode(job));
    for (std::size_t cut = 0; cut <= job.size(); ++cut) {
        const escpos::DecodedPart first = escpos::decodeFinished(job.data(), cut);
        ASSERT_LE(first.unfinishedFrom, cut);
        const ByteVector rest(job.begin() + std::ptrdiff_t(first.unfinishedFrom), job.end());
        std::vector<std::string> parts = summary(first.commands);
        const std::vector<std::string> second = summary(decode(rest));
        parts.insert(parts.end(), second.begin(), second.end());
        ASSERT_EQ(parts, whole) << "cut at " << cut;
    }
    EXPECT_EQ(escpos::decodeFinished(job.data(), job.size()).unfinishedFrom, job.size());
}

// Whatever the bytes, every one is accounted for exactly once, in order.
TEST(ArbitraryBytes, EveryByteIsCoveredOnce)
{
    std::mt19937 random(20240601);
    // Bias towards command introducers so that many commands get started.
    const ByteVector alphabet = hex("1B 1D 1C 10 04 40 56 76 30 70 61 64 4A 00 0A 41 FF 02 42 01");
    for (int round = 0; round < 300; ++round) {
        ByteVector input(random() % 200);
        for (std::uint8_t& byte : input) byte = random() % 3 ? alphabet[random() % alphabet.size()] : random() % 256;
        std::size_t covered = 0;
        for (const Command& command : decode(input)) {
            if (command.op == Op::Error && command.length == 0) continue;  // about the command before it
            ASSERT_EQ(command.offset, covered) << "round " << round;
            covered += command.length;
        }
        ASSERT_EQ(covered, input.size()) << "round " << round;
    }
}

}  // namespace
