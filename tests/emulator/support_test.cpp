// The small helpers around the decoder: status answers, options, file names.
#include "app/job_output.h"
#include "app/options.h"
#include "io/status_responder.h"

#include "bytes.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusResponder, AnswersEachRequestOnceEvenWhenSplitAcrossChunks)
{
    io::StatusResponder responder;
    const ByteVector first = hex("1B 40 10 04");
    const ByteVector second = hex("02 41 10 04 01 10 04 00 10 04 04");
    EXPECT_TRUE(responder.feed(first.data(), first.size()).empty());
    EXPECT_EQ(responder.feed(second.data(), second.size()), hex("12 12 12"));
}

TEST(StatusResponder, IgnoresWhatIsNoRequest)
{
    io::StatusResponder responder;
    const ByteVector job = hex("10 10 04 02 10 04 00 10 04 05 04 02");
    EXPECT_EQ(responder.feed(job.data(), job.size()), hex("12"));  // only the 10 04 02 near the start
}

TEST(NumberedPath, InsertsJobNumberBeforeTheExtension)
{
    EXPECT_EQ(app::numberedPath("out.png", 1), "out-1.png");
    EXPECT_EQ(app::numberedPath("dir.d/listing", 12), "dir.d/listing-12");
    EXPECT_EQ(app::numberedPath("/tmp/.hidden", 2), "/tmp/.hidden-2");
}

std::optional<app::Options> parse(std::vector<const char*> arguments, std::string& error)
{
    arguments.insert(arguments.begin(), "receipt-emulator");
    return app::parseOptions(int(arguments.size()), arguments.data(), error);
}

TEST(Options, ListenModesAndLimits)
{
    std::string error;
    const auto tcp = parse({"--tcp", "127.0.0.1:9100", "--jobs", "3", "--idle-timeout", "2.5", "--png", "o.png"}, error);
    ASSERT_TRUE(tcp) << error;
    EXPECT_EQ(tcp->source, app::Source::Tcp);
    EXPECT_EQ(tcp->tcpPort, 9100);
    EXPECT_EQ(tcp->jobs, 3);
    EXPECT_DOUBLE_EQ(tcp->idleTimeoutSeconds, 2.5);
    EXPECT_TRUE(tcp->listingPath.empty());

    const auto pty = parse({"--pty", "--paper-width", "384"}, error);
    ASSERT_TRUE(pty) << error;
    EXPECT_EQ(pty->source, app::Source::Pty);
    EXPECT_EQ(pty->paperWidth, 384);
    EXPECT_EQ(pty->listingPath, "-");  // no output named: listing to stdout
}

TEST(Options, SpeedStateAndPaper)
{
    std::string error;
    const auto serial = parse({"--pty", "--baud", "9600", "--paper", "near-end"}, error);
    ASSERT_TRUE(serial) << error;
    EXPECT_DOUBLE_EQ(serial->bytesPerSecond, 960);  // ten bits a byte on the line
    EXPECT_TRUE(serial->keepsState());
    EXPECT_EQ(serial->paper, io::Paper::NearEnd);
    const auto network = parse({"--tcp", "0", "--baud", "9600", "--bytes-per-second", "500"}, error);
    ASSERT_TRUE(network) << error;
    EXPECT_EQ(network->baud, 0);  // the later option wins: no baud rate to show
    EXPECT_FALSE(network->keepsState());
    EXPECT_FALSE(parse({"--pty", "--no-keep-state"}, error)->keepsState());
}

TEST(Options, RejectsWhatCannotWork)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--tcp", "0.0.0.0:9100"}, {"--tcp", "70000"},       {"--paper-width", "500"}, {"--jobs", "0"},
        {"--idle-timeout", "-1"},  {"--input"},              {"--bogus"},
        {"--baud", "0"},           {"--bytes-per-second", "0"}, {"--paper", "low"},
        {"--paper-file", ""},
    };
    for (const auto& arguments : bad) {
        std::string error;
        EXPECT_FALSE(parse(arguments, error)) << arguments[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
