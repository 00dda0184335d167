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
               RegistrationText("socket://127.0.0.1:" + port, name) + SUCCESS;
    }
};

TEST_F(EthernetTest, RegistersSocketQueueWithTypedPort)
{
    const ChildResult run = RunInstaller("4\n127.0.0.1\n9100\n");
    EXPECT_EQ(0, run.exitStatus);
    EXPECT_EQ(LoopbackSuccess("9100", QUEUE), run.out);
    ExpectRegistered(QUEUE, "socket://127.0.0.1:9100");
}

TEST_F(EthernetTest, PortThatIsNotANumberGivesDefault)
{
    const ChildResult run = RunInstaller("4\n127.0.0.1\nabc\n");
    EXPECT_EQ(LoopbackSuccess("6001", QUEUE), run.out);
    ExpectRegistered(QUEUE, "socket://127.0.0.1:6001");
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

}  // namespace
