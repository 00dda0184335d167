// Serial and USB-to-serial set-up: pseudo-terminals play the printers, linked
// into a device folder of their own that the port scan is pointed at.
#include "installer_fixture.h"

#include <algorithm>
#include <memory>
#include <tuple>
#include <unistd.h>

#include "pty_printer.h"

namespace {

constexpr char RULE45[] = "=============================================\n";
constexpr char RULE51[] = "===================================================\n";
constexpr char SERIAL_FAILURE[] = "Install Fail!.\nCheck Connection Serial Cable or Printer Power.\nExit Program.\n";

std::string SettingsDialogue()
{
    return std::string(RULE45) +
           "Select Baud rate : 1)115200  2)57600  3)38400\n"
           "Select Baud rate : 4)19200   5)14400  6)9600\n"
           "Select Baud rate : 7)4800    8)2400  \n"
           "Defult is 1)115200 .  \n" +
           RULE45 + "Your select(Defult:115200):" + RULE51 +
           "Select Flow control : 1)HW(RTS/CTS)  2)SW(XON/XOFF)\n" + RULE51 +
           "Your select(Defult:HW(RTS/CTS)):" + RULE51 + "Select Stopbit : 1)8bit  2)7bit\n" + RULE51 +
           "Your select(Defult:8bit):" + RULE51 + "Select Use Parity : 1)None  2)Even  3)Odd\n" + RULE51 +
           "Your select(Defult:None):";
}

class SerialTest : public InstallerTest {
protected:
    // Links a printer that answers with `reply` (or stays silent) as `node`.
    PtyPrinter& Attach(const std::string& node, std::optional<unsigned char> reply)
    {
        printers_.push_back(std::make_unique<PtyPrinter>(reply));
        PtyPrinter& printer = *printers_.back();
        EXPECT_TRUE(printer.ok());
        EXPECT_EQ(0, symlink(printer.slavePath().c_str(), (devices_ / node).c_str()));
        return printer;
    }

    ChildResult Run(const std::string& answers)
    {
        return RunInstaller(answers, {{"PRINTER_INSTALL_DEVDIR", devices_.path()}});
    }

    std::string Path(const std::string& node) const { return devices_ / node; }

    std::string Missing(const std::string& node) const
    {
        return "Check port -----> " + Path(node) + "\ncheck_port_ttyUSB(" + Path(node) +
               ")port open error or does not exist!!\n[" + Path(node) + "]Result=255\n";
    }

    // A probed port: what check_port_ttyUSB writes between its two framing lines.
    std::string Probed(const std::string& node, const std::string& received, int result) const
    {
        return "Check port -----> " + Path(node) + "\ncheck_port_ttyUSB(" + Path(node) + ")Check " + Path(node) +
               "... \n" + received + (result == 1 ? "Printer Detected!!\n" : "") + "[" + Path(node) +
               "]Result=" + std::to_string(result) + "\n";
    }

    std::string Found(const std::string& node) const
    {
        return "Found KORLA_tessa-300 on " + Path(node) + "\n";
    }

    // From the settings prompts to the end, for a successful registration.
    std::string Registered(const std::string& node, const std::string& settings, const std::string& queue,
                           const std::string& adapterPart) const
    {
        const std::string uri = "serial:" + Path(node) + "?" + settings;
        return SettingsDialogue() + "DBG CHECK IF CONFIG : [" + uri + "]\n" + "DBG = dev=[" + Path(node) +
               "], pch=[" + adapterPart + "]" + PrinterListText(queue, {}) + RegistrationText(uri, queue) +
               "Printer added successfuly\nInstall Success!.\nExit Program.\n" + TestReceiptOffer(queue);
    }

    TempDir devices_{"korla-dev-"};
    std::vector<std::unique_ptr<PtyPrinter>> printers_;
};

const std::string SERIAL_TITLE = std::string(RULE45) + "Serial Install Selected\n" + RULE45;

TEST_F(SerialTest, PrinterOnFirstPortWithDefaultSettings)
{
    Attach("ttyS0", 0x12);
    const ChildResult run = Run("1\n1\n1\n1\n1\n");
    EXPECT_EQ(0, run.exitStatus);
    EXPECT_EQ(MenuText() + SERIAL_TITLE + Probed("ttyS0", "Rcv=0x12\n", 1) + Found("ttyS0") +
                  Registered("ttyS0", "baud=115200+bits=8+parity=none+flow=hard", "KORLA_tessa-300_SERIAL", "(null)"),
              run.out);
    ExpectRegistered("KORLA_tessa-300_SERIAL", "serial:" + Path("ttyS0") + "?baud=115200+bits=8+parity=none+flow=hard");
}

// Ports are probed in order: ones that answer something that is not a
// status (0x93 has the bits 0x10 and 0x02, and bit 7, which no status byte
// has), a silent one, then the printer; the ports after it are left alone.
TEST_F(SerialTest, ScanStopsAtFirstPortThatAnswers)
{
    Attach("ttyS0", 0x93);
    Attach("ttyS1", std::nullopt);
    Attach("ttyS2", 0x08);
    Attach("ttyS3", 0x12);
    const PtyPrinter& untouched = Attach("ttyS4", 0x12);
    const ChildResult run = Run("1\n\n\n\n\n");
    EXPECT_EQ(MenuText() + SERIAL_TITLE + Probed("ttyS0", "Rcv=0x93\n", 255) + Probed("ttyS1", "", 255) +
                  Probed("ttyS2", "Rcv=0x8\n", 255) + Probed("ttyS3", "Rcv=0x12\n", 1) + Found("ttyS3") +
                  Registered("ttyS3", "baud=115200+bits=8+parity=none+flow=hard", "KORLA_tessa-300_SERIAL", "(null)"),
              run.out);
    EXPECT_EQ(0, untouched.requestsSeen());
}

TEST_F(SerialTest, NoDeviceNodeAtAll)
{
    const ChildResult run = Run("1\n");
    std::string expected = MenuText() + SERIAL_TITLE;
    for (int port = 0; port < 8; ++port)
        expected += Missing("ttyS" + std::to_string(port));
    EXPECT_EQ(expected + "Can not detect on KORLA_tessa-300!!!\n" + SERIAL_FAILURE, run.out);
    EXPECT_TRUE(cupsd_.QueueNames().empty());
    EXPECT_EQ(1, run.exitStatus);  // after "Exit Program." too
}

TEST_F(SerialTest, AdapterGivesUsbToSerialQueue)
{
    Attach("ttyUSB1", 0x1E);
    const ChildResult run = Run("2\n6\n2\n1\n3\n");
    EXPECT_EQ(MenuText() + RULE45 + "USB to RS232 Install Selected \n" + RULE45 + "\n" + Missing("ttyUSB0") +
                  Probed("ttyUSB1", "Rcv=0x1e\n", 1) + Found("ttyUSB1") +
                  Registered("ttyUSB1", "baud=9600+bits=8+parity=odd+flow=soft", "KORLA_tessa-300_USB2SERIAL",
                             "ttyUSB1"),
              run.out);
    ExpectRegistered("KORLA_tessa-300_USB2SERIAL", "serial:" + Path("ttyUSB1") + "?baud=9600+bits=8+parity=odd+flow=soft");
}

// Settings that no probe would leave: 9600 baud, two stop bits, hardware
// flow control, modem lines watched, canonical input with echo, output
// processing. (A pseudo-terminal always keeps 8 data bits and no parity.)
termios DeviceLineSettings()
{
    termios settings{};
    settings.c_iflag = ICRNL | IXON | INPCK;
    settings.c_oflag = OPOST | ONLCR;
    settings.c_cflag = CS8 | CSTOPB | CREAD | HUPCL | CRTSCTS;
    settings.c_lflag = ICANON | ECHO | ISIG;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 5;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    return settings;
}

// The fields that a probe changes.
auto ProbedFields(const termios& t)
{
    return std::make_tuple(t.c_iflag, t.c_oflag, t.c_cflag, t.c_lflag, cfgetispeed(&t), cfgetospeed(&t),
                           t.c_cc[VMIN], t.c_cc[VTIME]);
}

// A device that is not the printer and the printer itself both get their own
// line settings back once probed.
TEST_F(SerialTest, ProbeRestoresLineSettings)
{
    PtyPrinter& other = Attach("ttyS0", 0x08);
    PtyPrinter& printer = Attach("ttyS1", 0x12);
    const termios settings = DeviceLineSettings();
    ASSERT_TRUE(other.SetLineSettings(settings));
    ASSERT_TRUE(printer.SetLineSettings(settings));
    ASSERT_EQ(ProbedFields(settings), ProbedFields(other.LineSettings().value()));  // the pseudo-terminal keeps them

    const ChildResult run = Run("1\n1\n1\n1\n1\n");

    EXPECT_NE(std::string::npos, run.out.find(Found("ttyS1"))) << run.out;
    EXPECT_LE(1, other.requestsSeen());  // it was probed
    EXPECT_EQ(ProbedFields(settings), ProbedFields(other.LineSettings().value()));
    EXPECT_EQ(ProbedFields(settings), ProbedFields(printer.LineSettings().value()));
}

struct SettingsCase {
    const char* name;
    unsigned char reply;
    const char* answers;   // baud, flow, data bits, parity
    const char* settings;  // as they appear in the device URI
};

void PrintTo(const SettingsCase& c, std::ostream* os)
{
    *os << c.name;
}

class SerialSettingsTest : public SerialTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SerialSettingsTest, MapsIntoDeviceUri)
{
    const SettingsCase& c = GetParam();
    Attach("ttyS0", c.reply);
    const ChildResult run = Run(std::string("1\n") + c.answers);
    EXPECT_NE(std::string::npos, run.out.find("Install Success!.\nExit Program.\n")) << run.out;
    ExpectRegistered("KORLA_tessa-300_SERIAL", "serial:" + Path("ttyS0") + "?" + c.settings);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SerialSettingsTest,
    ::testing::Values(
        SettingsCase{"Choice2", 0x12, "2\n1\n1\n1\n", "baud=57600+bits=8+parity=none+flow=hard"},
        SettingsCase{"Choice5SoftEven7Bits", 0x16, "5\n2\n2\n2\n", "baud=14400+bits=7+parity=even+flow=soft"},
        SettingsCase{"Choice8Odd", 0x12, "8\n3\n1\n3\n", "baud=2400+bits=8+parity=odd+flow=hard"},
        SettingsCase{"Choice9OutOfRange", 0x12, "9\n0\n7\n0\n", "baud=115200+bits=8+parity=none+flow=hard"},
        SettingsCase{"Choice0", 0x12, "0\n2\n2\n4\n", "baud=115200+bits=7+parity=none+flow=soft"},
        SettingsCase{"NegativeChoice", 0x12, "-4\n1\n8\n-1\n", "baud=115200+bits=8+parity=none+flow=hard"},
        // Enter alone takes the default that the prompt names.
        SettingsCase{"EnterTakesTheDefault", 0x12, "\n2\n\n \n", "baud=115200+bits=8+parity=none+flow=soft"},
        // A word is asked again, and the setting after it still asked.
        SettingsCase{"WordIsAskedAgain", 0x12, "fast\n2\n2.5\n1\n1\n3\n",
                     "baud=57600+bits=8+parity=odd+flow=hard"}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

struct EndCase {
    const char* name;
    const char* answers;   // after the menu choice
    const char* lastPrompts;  // what the dialogue ends with before the error
};

void PrintTo(const EndCase& c, std::ostream* os)
{
    *os << c.name;
}

class SerialEndOfInputTest : public SerialTest, public ::testing::WithParamInterface<EndCase> {};

// The end of input at any settings prompt ends the set-up as failed: the
// settings were never chosen.
TEST_P(SerialEndOfInputTest, FailsTheSetUp)
{
    Attach("ttyS0", 0x12);
    const ChildResult run = Run(std::string("1\n") + GetParam().answers);
    const std::string ending =
        std::string(GetParam().lastPrompts) + "Error> installation failed\n" + SERIAL_FAILURE;
    EXPECT_EQ(ending, run.out.substr(run.out.size() - std::min(run.out.size(), ending.size()))) << run.out;
    EXPECT_EQ(1, run.exitStatus);
    EXPECT_TRUE(cupsd_.QueueNames().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Prompts, SerialEndOfInputTest,
    ::testing::Values(EndCase{"AtBaudRate", "", "=\nYour select(Defult:115200):"},
                      EndCase{"AtParity", "1\n1\n1\n", "=\nYour select(Defult:None):"},
                      // Each word is answered by the prompt again, alone.
                      EndCase{"AfterWords", "x\n\n\nabc\n", "=\nYour select(Defult:8bit):Your select(Defult:8bit):"}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

}  // namespace
