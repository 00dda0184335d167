// GetPrinterList, seen through the Ethernet set-up, against queues that exist
// already on the server.
#include "installer_fixture.h"

namespace {

constexpr char PROPOSAL[] = "KORLA_tessa-300_ETHERNET";
constexpr char OTHER_DEVICE[] = "socket://127.0.0.1:1";

struct ListCase {
    const char* name;
    std::vector<std::string> existing;  // in the order that the server lists them
    const char* expectedQueue;
};

void PrintTo(const ListCase& c, std::ostream* os)
{
    *os << c.name;
}

class PrinterListTest : public InstallerTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(PrinterListTest, NameIsMadeDistinct)
{
    const ListCase& c = GetParam();
    for (const std::string& queue : c.existing)
        ASSERT_TRUE(cupsd_.AddRawQueue(queue, OTHER_DEVICE)) << queue;

    const ChildResult run = RunInstaller("4\n127.0.0.1\n9100\n");

    const std::string listed = PrinterListText(PROPOSAL, c.existing);
    const std::string summary = "URI : [socket://127.0.0.1:9100] \nPRT_NAME : [" + std::string(c.expectedQueue) + "] \n";
    EXPECT_NE(std::string::npos, run.out.find("++++ step2 cnt=3\n" + listed + summary)) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Install Success!.\n")) << run.out;
    ExpectRegistered(c.expectedQueue, "socket://127.0.0.1:9100");
    for (const std::string& queue : c.existing)
        EXPECT_EQ(OTHER_DEVICE, cupsd_.Queue(queue)->deviceUri) << queue << " was reconfigured";
}

INSTANTIATE_TEST_SUITE_P(
    ExistingQueues, PrinterListTest,
    ::testing::Values(
        ListCase{"NoneMatching", {"KORLA_tessa-300_ETH"}, "KORLA_tessa-300_ETHERNET"},
        ListCase{"ProposalInsideLongerName", {"xKORLA_tessa-300_ETHERNETy"}, "KORLA_tessa-300_ETHERNET_1"},
        ListCase{"ThreeMatches",
                 {"A_KORLA_tessa-300_ETHERNET", "KORLA_tessa-300_ETHERNET", "KORLA_tessa-300_ETHERNET_old"},
                 "KORLA_tessa-300_ETHERNET_3"},
        // The count alone would name a queue that exists: the number is raised.
        ListCase{"CountNamesExistingQueue", {"KORLA_tessa-300_ETHERNET_1"}, "KORLA_tessa-300_ETHERNET_2"},
        // The server takes queue names without regard to case.
        ListCase{"CountNamesQueueInOtherCase",
                 {"KORLA_tessa-300_ETHERNET", "korla_tessa-300_ethernet_1"},
                 "KORLA_tessa-300_ETHERNET_2"},
        // The server would take the proposal for this queue and reconfigure it.
        ListCase{"ProposalInOtherCase", {"korla_tessa-300_ethernet"}, "KORLA_tessa-300_ETHERNET_1"},
        ListCase{"OtherCaseInsideLongerNames",
                 {"korla_tessa-300_ethernet_1", "old_KORLA_TESSA-300_ETHERNET"},
                 "KORLA_tessa-300_ETHERNET_2"},
        ListCase{"CountAndNextNameExisting",
                 {"KORLA_tessa-300_ETHERNET", "KORLA_tessa-300_ETHERNET_2", "KORLA_tessa-300_ETHERNET_3"},
                 "KORLA_tessa-300_ETHERNET_4"}),
    [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

}  // namespace
