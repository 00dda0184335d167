// Logos in the emulator's memory: the receipt engine's FS q decoded, kept
// between jobs and runs in the --logo-store file, and drawn dot for dot
// where FS p asks for them; an FS p of a logo not stored is a box, and the
// listing names it.
#include "bytes.h"
#include "decoder/decoder.h"
#include "emulator_process.h"
#include "png_reader.h"
#include "printer_client.h"
#include "render/paper_renderer.h"
#include "render/png_writer.h"
#include "stored_logos.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

// 20 x 11 dots (3 x 2 units once padded): a frame with a diagonal, so that
// a logo drawn turned, mirrored or shifted by a dot shows.
LogoBitmap TestLogo()
{
    LogoBitmap logo{20, 11, std::vector<unsigned char>(3 * 11, 0)};
    for (uint32_t y = 0; y < logo.height; ++y) {
        for (uint32_t x = 0; x < logo.width; ++x) {
            if (x == 0 || y == 0 || x == logo.width - 1 || y == logo.height - 1 || x == y)
                logo.rows[y * 3 + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
    }
    return logo;
}

ByteVector StoringJob(const std::vector<LogoBitmap>& logos)
{
    std::string error;
    const std::optional<std::vector<unsigned char>> job = LogoStoringJob(logos, error);
    EXPECT_TRUE(job) << error;
    return job ? *job : ByteVector{};
}

constexpr int PAPER_WIDTH = 576;

// Whether the picture shows the logo with its top left dot at (left, top),
// each dot sx x sy, and paper around it (as far as the paper goes) and in
// its padding to whole units; what follows below may touch it.
::testing::AssertionResult ShowsLogo(const Picture& picture, const LogoBitmap& logo, int left, int top, int sx, int sy)
{
    const int width = int((logo.width + 7) / 8 * 8), height = int((logo.height + 7) / 8 * 8);
    for (int y = std::max(-1, -top); y < height * sy; ++y) {
        for (int x = std::max(-1, -left); x <= width * sx && left + x < PAPER_WIDTH; ++x) {
            const int dotX = x < 0 ? -1 : x / sx, dotY = y < 0 ? -1 : y / sy;
            const bool inLogo = dotX >= 0 && dotY >= 0 && uint32_t(dotX) < logo.width && uint32_t(dotY) < logo.height;
            const Rgb expected = inLogo && logo.Dot(uint32_t(dotX), uint32_t(dotY)) ? kBlackPixel : kWhitePixel;
            if (picture.at(left + x, top + y) != expected)
                return ::testing::AssertionFailure() << "paper at " << left + x << "," << top + y << " is not as dot "
                                                     << dotX << "," << dotY;
        }
    }
    return ::testing::AssertionSuccess();
}

Picture Rendered(const ByteVector& job, const std::string& name, const logos::LogoStore* logos = nullptr)
{
    const std::string path = ::testing::TempDir() + "stored_logo_" + name + ".png";
    std::string error;
    EXPECT_TRUE(render::writePng(render::renderPaper(escpos::decode(job), {PAPER_WIDTH, 2000, logos}), path, error)) << error;
    return readPng(path);
}

TEST(StoredLogo, EngineDefinitionDecodesToItsLogos)
{
    const std::vector<escpos::Command> commands = escpos::decode(StoringJob({TestLogo(), LogoBitmap{8, 8, ByteVector(8)}}));
    ASSERT_EQ(2u, commands.size());
    EXPECT_EQ(escpos::Op::DefineLogos, commands[1].op);
    logos::LogoStore store;
    ASSERT_TRUE(store.apply(commands[1]));
    ASSERT_EQ(2u, store.size());
    EXPECT_EQ(24, store.find(1)->width);
    EXPECT_EQ(16, store.find(1)->height);
    EXPECT_EQ(nullptr, store.find(3));
}

// Centred, then quadruple size at the right: each where ESC a and FS p put
// it, one below the other.
TEST(StoredLogo, IsDrawnWhereFsPAsksAtItsScale)
{
    const LogoBitmap logo = TestLogo();
    const Picture picture =
        Rendered(StoringJob({logo}) + hex("1B 61 01 1C 70 01 00 1B 61 02 1C 70 01 33"), "placed");
    EXPECT_TRUE(ShowsLogo(picture, logo, (PAPER_WIDTH - 24) / 2, 0, 1, 1));
    EXPECT_TRUE(ShowsLogo(picture, logo, PAPER_WIDTH - 48, 16, 2, 2));
}

TEST(StoredLogo, StoredBeforeTheJobIsDrawnAndMissingOneIsABox)
{
    logos::LogoStore store;
    ASSERT_TRUE(store.apply(escpos::decode(StoringJob({TestLogo()}))[1]));
    const Picture picture = Rendered(hex("1C 70 01 00 1C 70 02 00"), "before", &store);
    EXPECT_TRUE(ShowsLogo(picture, TestLogo(), 0, 0, 1, 1));
    EXPECT_EQ(kBluePixel, picture.at(0, 16));
    EXPECT_EQ(kBluePixel, picture.at(render::kLogoBoxWidth - 1, 16 + render::kLogoBoxHeight - 1));
}

// 289 units down, one more than FS q's field takes: the printer takes the
// bytes and keeps the logos it had.
TEST(StoredLogo, DefinitionBeyondTheFieldsIsReportedAndNotStored)
{
    logos::LogoStore store;
    ASSERT_TRUE(store.apply(escpos::decode(StoringJob({TestLogo()}))[1]));
    const std::vector<escpos::Command> commands = escpos::decode(hex("1C 71 01 01 00 21 01") + ByteVector(289 * 8, 0));
    ASSERT_EQ(2u, commands.size());
    EXPECT_EQ(escpos::Op::Error, commands[1].op);
    EXPECT_TRUE(contains(commands[1].message, "y is 289, not 1-288")) << commands[1].message;
    EXPECT_FALSE(store.apply(commands[0]));
    EXPECT_EQ(24, store.find(1)->width);
}

// One run stores the logo, the next prints it; a logo never stored is
// listed as missing.
TEST(StoredLogo, StoreFileKeepsTheLogosBetweenRuns)
{
    const std::string store = tempPath("logos.bin");
    std::remove(store.c_str());
    writeBytes(tempPath("store.bin"), StoringJob({TestLogo()}));
    EmulatorProcess storing({"--input", tempPath("store.bin"), "--logo-store", store, "--listing", tempPath("1.txt")});
    ASSERT_EQ(0, storing.wait());
    EXPECT_TRUE(contains(ReadFile(tempPath("1.txt")), "0002 FS q 1 define stored logos, replacing all: 1 24x16 dots"));

    writeBytes(tempPath("print.bin"), hex("1C 70 01 00 1C 70 02 00"));
    EmulatorProcess printing({"--input", tempPath("print.bin"), "--logo-store", store, "--listing", tempPath("2.txt"),
                              "--png", tempPath("2.png")});
    ASSERT_EQ(0, printing.wait());
    EXPECT_TRUE(ShowsLogo(readPng(tempPath("2.png")), TestLogo(), 0, 0, 1, 1));
    const std::string listing = ReadFile(tempPath("2.txt"));
    EXPECT_FALSE(contains(listing, "logo 1, which")) << listing;
    EXPECT_TRUE(contains(listing, "-- missing: FS p at 0004 asks for stored logo 2")) << listing;
}

TEST(StoredLogo, StoreFileThatHoldsNoLogosIsRefused)
{
    writeBytes(tempPath("bad-store.bin"), hex("1B 40"));
    writeBytes(tempPath("job.bin"), hex("1B 40"));
    EmulatorProcess emulator({"--input", tempPath("job.bin"), "--logo-store", tempPath("bad-store.bin")});
    EXPECT_EQ(1, emulator.wait());
}

}  // namespace
