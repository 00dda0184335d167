// What korla-logos and the Logos page share: the record of the set each
// printer got last, read back from the storing job, and the tool's
// command line.
#include <gtest/gtest.h>

#include "logo_record.h"
#include "temp_dir.h"
#include "tool_options.h"

namespace {

std::vector<unsigned char> StoringJob(std::vector<LogoBitmap> logos)
{
    std::string error;
    return LogoStoringJob(logos, error).value_or(std::vector<unsigned char>{});
}

LogoBitmap Blank(uint32_t width, uint32_t height)
{
    return {width, height, std::vector<unsigned char>(size_t{(width + 7) / 8} * height, 0)};
}

// The sizes FS q stores, whole units of 8 dots; a job cut short, or with
// anything after its last logo, is no storing job.
TEST(LogoRecord, SetIsReadFromTheStoringJob)
{
    const std::vector<unsigned char> job = StoringJob({Blank(100, 60), Blank(576, 216)});
    const std::optional<StoredLogoSet> set = SetOfStoringJob(job);
    ASSERT_TRUE(set);
    EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{104, 64}, {576, 216}}), set->sizes);
    EXPECT_EQ(JobDigest(job), set->digest);
    EXPECT_EQ(64u, set->digest.size());
    EXPECT_NE(JobDigest(StoringJob({Blank(100, 61)})), set->digest);

    for (const size_t cut : {size_t{0}, size_t{5}, size_t{8}, job.size() - 1}) {
        EXPECT_FALSE(SetOfStoringJob({job.begin(), job.begin() + static_cast<std::ptrdiff_t>(cut)})) << cut;
    }
    std::vector<unsigned char> longer = job;
    longer.push_back(0x0a);
    EXPECT_FALSE(SetOfStoringJob(longer));
}

// One line per printer, a serial printer known by its port whatever its
// line settings; recording one printer keeps the others.
TEST(LogoRecord, KeepsEachPrintersLastSet)
{
    const TempDir folder("korla-record-");
    const std::string file = folder / LOGO_RECORD_FILE;
    EXPECT_FALSE(LastStoredLogos(file, "socket://10.0.0.9:6001"));
    const std::string serial = LogoRecordKey("serial:/dev/ttyUSB0?baud=9600+bits=8+parity=none+flow=hard");
    EXPECT_EQ(serial, LogoRecordKey("serial:/dev/ttyUSB0?baud=115200"));
    std::string error;
    ASSERT_TRUE(RecordStoredLogos(file, serial, {"aa", {{8, 8}}}, error)) << error;
    ASSERT_TRUE(RecordStoredLogos(file, QueueRecordKey("till"), {"bb", {{16, 8}, {8, 16}}}, error)) << error;
    ASSERT_TRUE(RecordStoredLogos(file, serial, {"cc", {{24, 8}}}, error)) << error;
    const std::optional<StoredLogoSet> last = LastStoredLogos(file, serial);
    ASSERT_TRUE(last);
    EXPECT_EQ("cc", last->digest);
    EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{24, 8}}), last->sizes);
    ASSERT_TRUE(LastStoredLogos(file, "queue:till"));
    EXPECT_EQ(2u, LastStoredLogos(file, "queue:till")->sizes.size());
}

TEST(LogoToolOptions, DitherAndThresholdApplyToTheImagesAfterThem)
{
    std::string error;
    const std::optional<ToolOptions> options = ParseToolOptions(
        {"-v", "socket://till", "a.png", "--dither", "diffusion", "b.jpg", "--threshold", "90", "--dither",
         "threshold", "c.png", "--dither", "ordered", "d.png", "--paper-width", "384", "--yes"},
        error);
    ASSERT_TRUE(options) << error;
    ASSERT_EQ(4u, options->images.size());
    EXPECT_EQ(OneBitMethod::Threshold, options->images[0].oneBit.method);
    EXPECT_EQ(DEFAULT_THRESHOLD, options->images[0].oneBit.threshold);
    EXPECT_EQ(OneBitMethod::ErrorDiffusion, options->images[1].oneBit.method);
    EXPECT_EQ(OneBitMethod::Threshold, options->images[2].oneBit.method);
    EXPECT_EQ(90, options->images[2].oneBit.threshold);
    EXPECT_EQ(OneBitMethod::OrderedDither, options->images[3].oneBit.method);
    EXPECT_EQ(384u, options->paperWidth);
    EXPECT_TRUE(options->yes);
    EXPECT_FALSE(options->again);
}

TEST(LogoToolOptions, WhatCannotBeDoneIsRefused)
{
    const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
        {{"-v", "socket://till"}, "no image"},
        {{"a.png"}, "give the printer"},
        {{"-v", "socket://till", "-q", "till", "a.png"}, "two printers"},
        {{"--preview", "p.png", "--threshold", "0", "a.png"}, "bad value for --threshold"},
        {{"--preview", "p.png", "--paper-width", "500", "a.png"}, "bad value for --paper-width"},
        {{"--preview", "p.png", "--dither", "floyd", "a.png"}, "bad value for --dither"},
        {{"--preview", "p.png", "--colour", "a.png"}, "unknown option --colour"},
        {{"a.png", "-v"}, "-v needs a value"},
    };
    for (const auto& [arguments, problem] : cases) {
        std::string error;
        EXPECT_FALSE(ParseToolOptions(arguments, error)) << problem;
        EXPECT_NE(std::string::npos, error.find(problem)) << error;
    }
}

}  // namespace
