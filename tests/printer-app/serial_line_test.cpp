// The serial link without a server: device URIs in the CUPS serial
// backend's notation, the line settings a port gets, the ports listed.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "line_speed.h"
#include "serial_device.h"
#include "serial_line.h"
#include "temp_dir.h"

namespace {

struct UriCase {
    const char* uri;
    SerialLine line;
};

class SerialUriReads : public ::testing::TestWithParam<UriCase> {};

TEST_P(SerialUriReads, EverySetting)
{
    std::string error;
    const std::optional<SerialLine> line = ParseSerialUri(GetParam().uri, error);
    ASSERT_TRUE(line) << error;
    const SerialLine& expected = GetParam().line;
    EXPECT_EQ(expected.port, line->port);
    EXPECT_EQ(expected.baud, line->baud);
    EXPECT_EQ(expected.dataBits, line->dataBits);
    EXPECT_EQ(expected.parity, line->parity);
    EXPECT_EQ(expected.flow, line->flow);
}

INSTANTIATE_TEST_SUITE_P(
    , SerialUriReads,
    ::testing::Values(
        UriCase{"serial:/dev/ttyS0?baud=115200+bits=8+parity=none+flow=hard",
                {"/dev/ttyS0", 115200, 8, Parity::None, FlowControl::Hard}},
        UriCase{"serial:/dev/ttyUSB1?baud=14400+bits=7+parity=odd+flow=soft",
                {"/dev/ttyUSB1", 14400, 7, Parity::Odd, FlowControl::Soft}},
        // Settings left out keep the installer's defaults; "&" separates as well as "+".
        UriCase{"serial:/dev/ttyS3", {"/dev/ttyS3", 115200, 8, Parity::None, FlowControl::Hard}},
        UriCase{"serial:/dev/ttyS3?flow=none&baud=2400&parity=even",
                {"/dev/ttyS3", 2400, 8, Parity::Even, FlowControl::None}}));

TEST(SerialUri, RefusesWhatNoPortCouldTake)
{
    for (const char* uri : {"socket://127.0.0.1:9100", "serial:ttyS0", "serial:", "serial:/dev/ttyS0?baud=12345",
                            "serial:/dev/ttyS0?baud=96OO", "serial:/dev/ttyS0?baud=", "serial:/dev/ttyS0?bits=6",
                            "serial:/dev/ttyS0?parity=mark", "serial:/dev/ttyS0?flow=dtrdsr",
                            "serial:/dev/ttyS0?speed=9600", "serial:/dev/ttyS0?baud=9600++bits=8"}) {
        std::string error;
        EXPECT_FALSE(ParseSerialUri(uri, error)) << uri;
        EXPECT_NE("", error) << uri;
    }
}

TEST(SerialUri, WritesEverySettingAndReadsBack)
{
    for (const char* uri : {"serial:/dev/ttyS0?baud=115200+bits=8+parity=none+flow=hard",
                            "serial:/dev/ttyUSB2?baud=4800+bits=7+parity=even+flow=none"}) {
        std::string error;
        EXPECT_EQ(uri, SerialUri(*ParseSerialUri(uri, error)));
    }
}

// A pseudo-terminal: a port that takes every setting and shows what it got.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            slave_ = ptsname(master_);
    }
    ~PseudoTerminal()
    {
        if (master_ >= 0)
            close(master_);
    }
    const std::string& slave() const { return slave_; }

private:
    int master_ = -1;
    std::string slave_;
};

struct LineCase {
    SerialLine line;
    tcflag_t characterSize;
    tcflag_t parity;  // PARENB and PARODD as expected
    bool rtsCts;
    bool xonXoff;
};

class SerialLineFlags : public ::testing::TestWithParam<LineCase> {};

TEST_P(SerialLineFlags, FollowTheSettings)
{
    const LineCase& expected = GetParam();
    termios settings{};
    settings.c_lflag = ICANON | ECHO | ISIG;
    settings.c_oflag = OPOST;
    settings.c_cflag = CSTOPB | CRTSCTS | PARODD;
    settings.c_iflag = IXANY | IXON;
    SetLineFlags(settings, expected.line);

    EXPECT_EQ(expected.characterSize, settings.c_cflag & CSIZE);
    EXPECT_EQ(expected.parity, settings.c_cflag & (PARENB | PARODD));
    EXPECT_EQ(0u, settings.c_cflag & CSTOPB);
    EXPECT_EQ(expected.rtsCts, (settings.c_cflag & CRTSCTS) != 0);
    EXPECT_EQ(expected.xonXoff ? (IXON | IXOFF) : 0u, settings.c_iflag & (IXON | IXOFF | IXANY));
    EXPECT_EQ(static_cast<tcflag_t>(CLOCAL | CREAD), settings.c_cflag & (CLOCAL | CREAD));
    // Raw: the printer's bytes pass untouched, nothing is echoed.
    EXPECT_EQ(0u, settings.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_EQ(0u, settings.c_oflag & OPOST);
}

const LineCase LINE_CASES[] = {
    {{"", 115200, 8, Parity::None, FlowControl::Hard}, CS8, 0, true, false},
    {{"", 14400, 7, Parity::Even, FlowControl::Soft}, CS7, PARENB, false, true},
    {{"", 9600, 8, Parity::Odd, FlowControl::None}, CS8, PARENB | PARODD, false, false},
};

INSTANTIATE_TEST_SUITE_P(, SerialLineFlags, ::testing::ValuesIn(LINE_CASES));

// A pseudo-terminal keeps the speed and the flow control it is given (it
// forces 8 bits without parity), also a speed termios has no constant for.
TEST(SerialLine, SpeedAndFlowControlReachThePort)
{
    const PseudoTerminal terminal;
    ASSERT_NE("", terminal.slave());
    for (const LineCase& expected : LINE_CASES) {
        const int fd = open(terminal.slave().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_LE(0, fd);
        ASSERT_TRUE(ApplySerialLine(fd, expected.line));
        termios settings{};
        ASSERT_EQ(0, tcgetattr(fd, &settings));
        EXPECT_EQ(expected.line.baud, PortSpeed(fd));
        EXPECT_EQ(expected.rtsCts, (settings.c_cflag & CRTSCTS) != 0);
        EXPECT_EQ(expected.xonXoff, (settings.c_iflag & IXON) != 0);
        close(fd);
    }
}

// The ports listed are the device folder's serial nodes that open as
// terminals, in name order, ttyS2 before ttyS10.
TEST(SerialPorts, ListsTheNodesThatOpenInNameOrder)
{
    const PseudoTerminal terminal;
    const TempDir folder("korla-dev-");
    for (const char* name : {"ttyUSB0", "ttyS10", "ttyS2", "ttyACM1", "ttyUSB", "ttyUSBx", "ttyX0", "lp0"})
        ASSERT_EQ(0, symlink(terminal.slave().c_str(), (folder / name).c_str()));
    ASSERT_EQ(0, symlink((folder / "gone").c_str(), (folder / "ttyUSB7").c_str()));
    WriteFile(folder / "ttyUSB3", "");
    setenv(DEVICE_FOLDER_VARIABLE, folder.path().c_str(), 1);
    const std::vector<std::string> ports = SerialPorts();
    unsetenv(DEVICE_FOLDER_VARIABLE);

    EXPECT_EQ((std::vector<std::string>{folder / "ttyACM1", folder / "ttyS2", folder / "ttyS10", folder / "ttyUSB0"}),
              ports);
}

// PAPPL registers its own schemes when devices are first listed, and not
// at all once another scheme is there.
TEST(SerialScheme, KeepsPapplsOwnSchemes)
{
    AddSerialScheme(SerialPortRule::AnyTerminal);
    for (const char* uri : {"socket://127.0.0.1:9100", "usb://KORLA/Tessa-300?serial=1", "serial:/dev/ttyS0"})
        EXPECT_TRUE(papplDeviceIsSupported(uri)) << uri;
}

}  // namespace
