// USB set-up with stand-in usb backends that print listings of our own.
#include "installer_fixture.h"

#include <unistd.h>

namespace {

constexpr char QUEUE[] = "KORLA_tessa-300_USB";
constexpr char PRINTER_URI[] = "usb://Korla/Tessa-300?serial=A100";
constexpr char PRINTER_LINE[] =
    "direct usb://Korla/Tessa-300?serial=A100 \"Korla Tessa-300\" \"Korla Tessa-300 USB\" "
    "\"MFG:Korla;MDL:Tessa-300;CMD:ESC/POS;\" \"\"\n";
constexpr char OTHER_LINE[] =
    "direct usb://Acme/Label-100?serial=B200 \"Acme Label-100\" \"Acme Label-100 USB\" \"MFG:Acme;\" \"\"\n";

std::string UsbDialogue()
{
    return MenuText() +
           "=============================================\n"
           "USB install selected.=============================================\n"
           "Start Add usb printer \n";
}

constexpr char FAILURE[] = "Install Fail!.\nCheck Connection USB Cable or Printer Power.\n";

class UsbTest : public InstallerTest {
protected:
    // A usb backend that prints the listing as it is.
    void UseListing(const std::string& listing)
    {
        ASSERT_TRUE(WriteFile(work_ / "listing", listing));
        ASSERT_TRUE(cupsd_.InstallBackend("usb", "#!/bin/sh\nexec cat '" + work_ / "listing" + "'\n"));
    }

    std::string Success(const std::string& listing) const
    {
        return UsbDialogue() + listing + "\n" + "\nConnected Dev Name : [" + PRINTER_URI + "]\n" +
               RegistrationText(PRINTER_URI, QUEUE) + "Printer added successfuly\nInstall Success!.\n" +
               TestReceiptOffer(QUEUE);
    }
};

TEST_F(UsbTest, RegistersFirstDirectDeviceOfTheModel)
{
    const std::string listing = std::string(PRINTER_LINE) + OTHER_LINE;
    UseListing(listing);
    const ChildResult run = RunInstaller("3\n");
    EXPECT_EQ(0, run.exitStatus);
    EXPECT_EQ(Success(listing), run.out);
    ExpectRegistered(QUEUE, PRINTER_URI);
}

TEST_F(UsbTest, OtherModelFirstIsRefused)
{
    const std::string listing = std::string(OTHER_LINE) + PRINTER_LINE;
    UseListing(listing);
    const ChildResult run = RunInstaller("3\n");
    const std::string other = "usb://Acme/Label-100?serial=B200";
    EXPECT_EQ(UsbDialogue() + listing + "\n\nConnected Dev Name : [" + other + "]\n" + "URI : [" + other +
                  "] \nPRT_NAME : [KORLA_tessa-300_USB] \nPPD : [KORLA_tessa-300.ppd] \n" +
                  "Error> Invalid printer is connected [" + other + "]!!\n" + FAILURE,
              run.out);
    EXPECT_TRUE(cupsd_.QueueNames().empty());
    EXPECT_EQ("", ReadFile(cupsd_.dataDir() + "/model/KORLA_tessa-300.ppd"));
    EXPECT_EQ(1, run.exitStatus);
}

TEST_F(UsbTest, ModelWordInOtherCaseDoesNotMatch)
{
    UseListing("direct usb://Korla/TESSA-300?serial=A100 \"Korla\" \"\"\n");
    const ChildResult run = RunInstaller("3\n");
    EXPECT_NE(std::string::npos,
              run.out.find("Error> Invalid printer is connected [usb://Korla/TESSA-300?serial=A100]!!\n"))
        << run.out;
    EXPECT_TRUE(cupsd_.QueueNames().empty());
}

struct NoDeviceCase {
    const char* name;
    std::string listing;
};

void PrintTo(const NoDeviceCase& c, std::ostream* os)
{
    *os << c.name;
}

class UsbNoDeviceTest : public UsbTest, public ::testing::WithParamInterface<NoDeviceCase> {};

TEST_P(UsbNoDeviceTest, EndsWithThereIsNoDevice)
{
    const std::string& listing = GetParam().listing;
    UseListing(listing);
    const ChildResult run = RunInstaller("3\n");
    // Only the first 4095 bytes of the listing are captured and shown.
    EXPECT_EQ(UsbDialogue() + listing.substr(0, 4095) + "\n" + "There is no device.\nError> installation failed\n" + FAILURE,
              run.out);
    EXPECT_TRUE(cupsd_.QueueNames().empty());
}

std::string Filler(std::size_t size)
{
    std::string text;
    while (text.size() < size)
        text += "network socket \"Unknown\" \"AppSocket/HP JetDirect\"\n";
    return text.substr(0, size);
}

INSTANTIATE_TEST_SUITE_P(
    Listings, UsbNoDeviceTest,
    ::testing::Values(
        NoDeviceCase{"NoDirectDevice", Filler(200)},
        NoDeviceCase{"NoUsbAfterDirect", "direct serial:/dev/ttyS0?baud=115200 \"Serial Port #1\"\n"},
        NoDeviceCase{"NoSpaceAndQuoteAfterUsb", "direct usb://Korla/Tessa-300?serial=A100\n"},
        NoDeviceCase{"DirectAtTheVeryEnd", Filler(4089) + "direct"},
        NoDeviceCase{"DirectDeviceBeyond4095Bytes", Filler(4095) + PRINTER_LINE},
        NoDeviceCase{"DeviceEndBeyond4095Bytes", Filler(4060) + PRINTER_LINE}),
    [](const ::testing::TestParamInfo<NoDeviceCase>& info) { return std::string(info.param.name); });

TEST_F(UsbTest, SilentBackendIsAShellCommandError)
{
    ASSERT_TRUE(cupsd_.InstallBackend("usb", "#!/bin/sh\nexit 0\n"));
    const ChildResult run = RunInstaller("3\n");
    EXPECT_EQ(UsbDialogue() + "shell command errorError> installation failed\n" + FAILURE, run.out);
}

// A backend that lists the printer and then never ends, nor what it
// started: the run's time limit stops them all.
TEST_F(UsbTest, BackendThatNeverEndsIsStopped)
{
    ASSERT_TRUE(WriteFile(work_ / "listing", PRINTER_LINE));
    ASSERT_TRUE(cupsd_.InstallBackend("usb", "#!/bin/sh\ncat '" + work_ / "listing" + "'\nsleep 1000\n"));
    const ChildResult run = RunInstaller("3\n", {{"PRINTER_INSTALL_TIMEOUT", "2"}});
    EXPECT_EQ(UsbDialogue() + "shell command errorError> installation failed\n" + FAILURE, run.out);
    EXPECT_EQ(1, run.exitStatus);
}

// The backend is run by its path, which no shell reads: the CUPS folder's
// name holds words that a shell would run.
TEST_F(UsbTest, BackendPathIsNotShellText)
{
    UseListing(PRINTER_LINE);
    TempDir links{"korla-links-"};
    const std::string serverBin = links / "server bin;touch injected;";
    ASSERT_EQ(0, symlink(cupsd_.serverBin().c_str(), serverBin.c_str()));
    const ChildResult run = RunInstaller("3\n", {{"CUPS_SERVERBIN", serverBin}});
    EXPECT_TRUE(EndsWith(run.out, "Install Success!.\n" + TestReceiptOffer(QUEUE))) << run.out;
    ExpectRegistered(QUEUE, PRINTER_URI);
    EXPECT_NE(0, access((work_ / "injected").c_str(), F_OK)) << "a shell ran part of a folder name";
}

TEST_F(UsbTest, GarbageFromAFailingBackendMeansNoDevice)
{
    const std::string garbage = "\x01\xfe\x7f usb?\xff\"\n";
    ASSERT_TRUE(WriteFile(work_ / "garbage", garbage));
    ASSERT_TRUE(cupsd_.InstallBackend("usb", "#!/bin/sh\ncat '" + work_ / "garbage" + "'\nexit 3\n"));
    const ChildResult run = RunInstaller("3\n");
    EXPECT_EQ(UsbDialogue() + garbage + "\n" + "There is no device.\nError> installation failed\n" + FAILURE, run.out);
    EXPECT_TRUE(cupsd_.QueueNames().empty());
}

// A second installation gets a queue of its own; the first one's queue keeps
// its device.
TEST_F(UsbTest, SecondInstallationGetsItsOwnQueue)
{
    UseListing(PRINTER_LINE);
    ASSERT_EQ(Success(PRINTER_LINE), RunInstaller("3\n").out);
    const std::string moved = "direct usb://Korla/Tessa-300?serial=C300 \"Korla Tessa-300\" \"\"\n";
    UseListing(moved);
    const ChildResult second = RunInstaller("3\n");
    EXPECT_NE(std::string::npos, second.out.find("PRT_NAME : [KORLA_tessa-300_USB_1] \n")) << second.out;
    EXPECT_NE(std::string::npos, second.out.find("Install Success!.\n")) << second.out;
    ExpectRegistered(QUEUE, PRINTER_URI);
    ExpectRegistered("KORLA_tessa-300_USB_1", "usb://Korla/Tessa-300?serial=C300");
}

struct ExistingCase {
    const char* name;
    std::vector<std::string> existing;
    const char* expectedQueue;
};

void PrintTo(const ExistingCase& c, std::ostream* os)
{
    *os << c.name;
}

class UsbExistingQueueTest : public UsbTest, public ::testing::WithParamInterface<ExistingCase> {};

TEST_P(UsbExistingQueueTest, NoQueueIsTakenOver)
{
    const ExistingCase& c = GetParam();
    constexpr char OTHER_DEVICE[] = "socket://127.0.0.1:1";
    for (const std::string& queue : c.existing)
        ASSERT_TRUE(cupsd_.AddRawQueue(queue, OTHER_DEVICE)) << queue;
    UseListing(PRINTER_LINE);

    const ChildResult run = RunInstaller("3\n");

    EXPECT_NE(std::string::npos, run.out.find("PRT_NAME : [" + std::string(c.expectedQueue) + "] \n")) << run.out;
    ExpectRegistered(c.expectedQueue, PRINTER_URI);
    for (const std::string& queue : c.existing)
        EXPECT_EQ(OTHER_DEVICE, cupsd_.Queue(queue)->deviceUri) << queue << " was reconfigured";
}

INSTANTIATE_TEST_SUITE_P(
    Queues, UsbExistingQueueTest,
    ::testing::Values(
        // Only a queue of the very name counts, not one that contains it.
        ExistingCase{"OtherQueueContainingTheName", {"KORLA_tessa-300_USB2SERIAL"}, "KORLA_tessa-300_USB"},
        // The server takes queue names without regard to case.
        ExistingCase{"NameInOtherCase", {"korla_tessa-300_usb"}, "KORLA_tessa-300_USB_1"},
        ExistingCase{"NameAndFirstSuffixTaken", {"KORLA_tessa-300_USB", "korla_tessa-300_usb_1"},
                     "KORLA_tessa-300_USB_2"}),
    [](const ::testing::TestParamInfo<ExistingCase>& info) { return std::string(info.param.name); });

}  // namespace
