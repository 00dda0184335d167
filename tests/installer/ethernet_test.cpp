// Ethernet set-up, driven through the menu against a private cupsd.
#include "installer_fixture.h"

namespace {

constexpr char QUEUE[] = "KORLA_tessa-300_ETHERNET";

std::string EthernetDialogue(const std::string& addressAndPort)
{
    return MenuText() +
           "======================================================\n"
           "Ethernet Install selected\n"
           "======================================================\n"
           "\n\nEnter IP Address(ex> 192.168.1.254) : "
           "\n\nEnter Port Number(Default:6001) : "
           "Yours IP and port number: " + addressAndPort + " \n";
}

constexpr char LOOPBACK_DOTS[] =
    "++++ step1 \ncheck ip format [.0.0.1]\n"
    "++++ step1 \ncheck ip format [.0.1]\n"
    "++++ step1 \ncheck ip format [.1]\n"
    "++++ step2 cnt=3\n";

constexpr char SUCCESS[] = "Printer added successfuly\nInstall Success!.\n";

class EthernetTest : public InstallerTest {
protected:
    // Expected transcript of a successful installation of 127.0.0.1.
    std::string LoopbackSuccess(const std::string& port, const std::string& name,
                                const std::vector<std::string>& existing = {}) const
    {
        return EthernetDialogue("127.0.0.1:" + port) + LOOPBACK_DOTS + PrinterListText(QUEUE, existing) +
               RegistrationText("socket://127.0.0.1:" + port, name) + SUCCESS + TestReceiptOffer(name);
    }
};

TEST_F(EthernetTest, RegistersSocketQueueWithTypedPort)
{
    const ChildResult run = RunInstaller("4\n127.0.0.1\n9100\n");
    EXPECT_EQ(0, run.exitStatus);
    EXPECT_EQ(LoopbackSuccess("9100", QUEUE), run.out);
    ExpectRegistered(QUEUE, "socket://127.0.0.1:9100");
}

TEST_F(EthernetTest, EndOfInputAtPortGivesDefault)
{
    const ChildResult run = RunInstaller("4\n127.0.0.1");
    EXPECT_EQ(LoopbackSuccess("6001", QUEUE), run.out);
    ExpectRegistered(QUEUE, "socket://127.0.0.1:6001");
}

TEST_F(EthernetTest, EndOfInputAtTheAddressIsRefused)
{
    const ChildResult run = RunInstaller("4\n");
    EXPECT_EQ(EthernetDialogue(":6001") +
                  "++++ step2 cnt=0\n"
                  "Error> Invalid IP Address format [] \n"
                  "Install Fail!.\nCheck Connection LAN Cable or Printer Power.\n",
              run.out);
    EXPECT_TRUE(cupsd_.QueueNames().empty());
}

TEST_F(EthernetTest, AddressWithTooFewDotsIsRefused)
{
    const ChildResult run = RunInstaller("4\n192.168.1\n9100\n");
    EXPECT_EQ(1, run.exitStatus);
    EXPECT_EQ(EthernetDialogue("192.168.1:9100") +
                  "++++ step1 \ncheck ip format [.168.1]\n"
                  "++++ step1 \ncheck ip format [.1]\n"
                  "++++ step2 cnt=2\n"
                  "Error> Invalid IP Address format [192.168.1] \n"
                  "Install Fail!.\nCheck Connection LAN Cable or Printer Power.\n",
              run.out);
    EXPECT_TRUE(cupsd_.QueueNames().empty());
}

TEST_F(EthernetTest, SecondInstallationGetsSuffix)
{
    ASSERT_EQ(LoopbackSuccess("9100", QUEUE), RunInstaller("4\n127.0.0.1\n9100\n").out);
    const ChildResult second = RunInstaller("4\n127.0.0.1\n9101\n");
    EXPECT_EQ(LoopbackSuccess("9101", "KORLA_tessa-300_ETHERNET_1", {QUEUE}), second.out);
    ExpectRegistered(QUEUE, "socket://127.0.0.1:9100");
    ExpectRegistered("KORLA_tessa-300_ETHERNET_1", "socket://127.0.0.1:9101");
}

// An over-long address is cut to its buffer and the rest of the word is not
// taken as the port answer.
TEST_F(EthernetTest, OverLongAddressStaysInItsBuffer)
{
    const std::string address = "1.2.3." + std::string(20000, '4');
    const ChildResult run = RunInstaller("4\n" + address + "\n9100\n");
    const std::string kept = address.substr(0, 10239);
    EXPECT_NE(std::string::npos, run.out.find("Yours IP and port number: " + kept + ":9100 \n")) << run.out.substr(0, 2000);
}

class AddressTest : public InstallerTest, public ::testing::WithParamInterface<const char*> {};

// Addresses with enough dots that no socket can reach are refused like those
// with too few; nothing is copied or registered.
TEST_P(AddressTest, UnreachableAddressIsRefused)
{
    const std::string address = GetParam();
    const ChildResult run = RunInstaller("4\n" + address + "\n9100\n");
    EXPECT_TRUE(EndsWith(run.out, "Error> Invalid IP Address format [" + address + "] \n" + LAN_FAILURE)) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("AddPrinter 1 ")) << run.out;
    EXPECT_TRUE(cupsd_.QueueNames().empty());
}

class AcceptedAddressTest : public InstallerTest, public ::testing::WithParamInterface<const char*> {};

// Every host name, however many labels it has, and an IPv6 address in
// brackets, as it stands in the device URI.
TEST_P(AcceptedAddressTest, IsRegistered)
{
    const std::string address = GetParam();
    const ChildResult run = RunInstaller("4\n" + address + "\n9100\n");
    EXPECT_TRUE(EndsWith(run.out, SUCCESS + TestReceiptOffer(QUEUE))) << run.out;
    ExpectRegistered(QUEUE, "socket://" + address + ":9100");
}

INSTANTIATE_TEST_SUITE_P(Reachable, AcceptedAddressTest,
                         ::testing::Values("printer.shop.lan", "till-printer", "[::1]", "[fd00::20]"));

INSTANTIATE_TEST_SUITE_P(Unreachable, AddressTest,
                         ::testing::Values("999.1.1.1", "1.2.3.4.5", "...", "1.2.3.4/../x?y#z", "127.0.0.1;",
                                           "127.000.0.1", "-printer.back.shop.example"));

struct PortCase {
    const char* name;
    const char* answers;  // from the address on
    const char* port;     // as registered
};

void PrintTo(const PortCase& c, std::ostream* os)
{
    *os << c.name;
}

class PortTest : public InstallerTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortTest, AnswerGivesPort)
{
    const PortCase& c = GetParam();
    const ChildResult run = RunInstaller(std::string("4\n") + c.answers);
    EXPECT_NE(std::string::npos, run.out.find(SUCCESS)) << run.out;
    ExpectRegistered(QUEUE, std::string("socket://127.0.0.1:") + c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PortTest,
    ::testing::Values(
        // Enter alone takes the default; the line after it is not read.
        PortCase{"EmptyLine", "127.0.0.1\n\n9100\n", "6001"},
        PortCase{"BlankLine", "127.0.0.1\n \t\r\n9100\n", "6001"},
        PortCase{"OnTheAddressLine", "127.0.0.1 9100\n", "9100"},
        PortCase{"Highest", "127.0.0.1\n65535\n", "65535"},
        PortCase{"Lowest", "127.0.0.1\n1\n", "1"}),
    [](const ::testing::TestParamInfo<PortCase>& info) { return std::string(info.param.name); });

class RefusedPortTest : public InstallerTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedPortTest, PortOutOfRangeIsRefused)
{
    const std::string port = GetParam();
    const ChildResult run = RunInstaller("4\n127.0.0.1\n" + port + "\n");
    EXPECT_EQ(EthernetDialogue("127.0.0.1:" + port) + LOOPBACK_DOTS + "Error> Invalid port number [" + port +
                  "] \n" + LAN_FAILURE,
              run.out);
    EXPECT_TRUE(cupsd_.QueueNames().empty());
}

INSTANTIATE_TEST_SUITE_P(OutOfRange, RefusedPortTest, ::testing::Values("0", "-1", "65536", "70000"));
// A port must be the whole answer: a word is not the default, nor is a
// number with something after it.
INSTANTIATE_TEST_SUITE_P(NotANumber, RefusedPortTest,
                         ::testing::Values("abc", "９１００", "91 00", "9100x"));

}  // namespace
