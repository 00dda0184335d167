// The Debian package as built by scripts/build-package.sh: what it holds,
// and the driver it installs, unpacked into a temporary root (never onto the
// machine) whose CUPS folders a private cupsd uses. Its printer-install runs
// from an empty folder and registers the queue against the installed files,
// and a real lp job reaches the network printer.
//
// KORLA_PACKAGE names the folder that holds the one package; without it the
// suite is skipped, and the ctest entries that set it fail on a skip.
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "chain_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string PackageFile()
{
    const char* folder = std::getenv("KORLA_PACKAGE");
    if (!folder || !*folder)
        return "";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".deb")
            return entry.path();
    }
    return "";
}

ChildResult DpkgDeb(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {"/usr/bin/dpkg-deb"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunChild(argv, {});
}

class PackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("KORLA_PACKAGE"))
            GTEST_SKIP() << "KORLA_PACKAGE does not name the package's folder";
        package_ = PackageFile();
        ASSERT_FALSE(package_.empty()) << "no .deb in " << std::getenv("KORLA_PACKAGE");
    }

    std::string package_;
};

// "MODE OWNER PATH" of every file (not folder) that the package installs.
std::set<std::string> FilesIn(const std::string& listing)
{
    std::set<std::string> files;
    std::istringstream lines(listing);
    std::string mode, owner, size, date, time, path;
    while (lines >> mode >> owner >> size >> date >> time >> path) {
        if (mode[0] != 'd')
            files.insert(mode + " " + owner + " " + path);
    }
    return files;
}

TEST_F(PackageTest, HoldsTheDriverTheProgramsAndTheirPages)
{
    const ChildResult run = DpkgDeb({"--contents", package_});
    ASSERT_EQ(0, run.exitStatus) << run.err;
    const std::set<std::string> expected = {
        "-rwxr-xr-x root/root ./usr/bin/korla-logos",
        "-rwxr-xr-x root/root ./usr/bin/korla-printer-app",
        "-rwxr-xr-x root/root ./usr/bin/receipt-emulator",
        "-rw-r--r-- root/root ./usr/lib/systemd/system/korla-printer-app.service",
        "-rwxr-xr-x root/root ./usr/lib/cups/filter/RasterToKPrinter",
        "-rwxr-xr-x root/root ./usr/sbin/printer-install",
        "-rw-r--r-- root/root ./usr/share/cups/model/KORLA_tessa-300.ppd",
        "-rw-r--r-- root/root ./usr/share/doc/printer-driver-korla/README.md.gz",
        "-rw-r--r-- root/root ./usr/share/doc/printer-driver-korla/changelog.gz",
        "-rw-r--r-- root/root ./usr/share/doc/printer-driver-korla/copyright",
        "-rw-r--r-- root/root ./usr/share/man/man1/korla-logos.1.gz",
        "-rw-r--r-- root/root ./usr/share/man/man1/receipt-emulator.1.gz",
        "-rw-r--r-- root/root ./usr/share/man/man8/korla-printer-app.8.gz",
        "-rw-r--r-- root/root ./usr/share/man/man8/printer-install.8.gz",
    };
    EXPECT_EQ(expected, FilesIn(run.out));
}

// Removing the package removes exactly the files it lists: no maintainer
// script creates files, and none restarts CUPS, which finds new filters and
// PPDs by itself.
TEST_F(PackageTest, HasNoMaintainerScripts)
{
    TempDir control{"korla-control-"};
    ASSERT_EQ(0, DpkgDeb({"--control", package_, control / "DEBIAN"}).exitStatus);
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(control / "DEBIAN"))
        names.insert(entry.path().filename());
    EXPECT_EQ((std::set<std::string>{"control", "md5sums"}), names);
}

TEST_F(PackageTest, VersionAndDependencies)
{
    const ChildResult run = DpkgDeb({"--field", package_, "Package", "Version", "Depends"});
    ASSERT_EQ(0, run.exitStatus) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Package: printer-driver-korla\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(std::string("Version: ") + PROJECT_VERSION + "\n")) << run.out;
    const std::string depends = run.out.substr(run.out.find("Depends: ") + 9);
    for (const char* dependency : {"libcups2 ", "libcupsimage2 ", "libpng16-16 ", " cups,", " cups-filters\n"})
        EXPECT_NE(std::string::npos, depends.find(dependency)) << dependency << " missing from " << depends;
    // PAPPL is built into the printer application, with the project's own
    // patches, rather than taken from the system's library.
    EXPECT_EQ(std::string::npos, depends.find("libpappl")) << depends;
}

// One unpacked package and one print chain for the tests below.
class InstalledPackage : public PackageTest {
protected:
    static void SetUpTestSuite()
    {
        const std::string package = PackageFile();
        if (package.empty())
            return;
        root_ = std::make_unique<TempDir>("korla-root-");
        const ChildResult unpacked = DpkgDeb({"--extract", package, root_->path()});
        if (unpacked.exitStatus != 0) {
            ADD_FAILURE() << "dpkg-deb --extract: " << unpacked.err;
            return;
        }
        chain_ = std::make_unique<PrintChain>(root_->path());
        started_ = chain_->Start();
    }

    static void TearDownTestSuite()
    {
        chain_.reset();
        root_.reset();
    }

    void SetUp() override
    {
        PackageTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) {
            ASSERT_TRUE(started_) << "the print chain did not start";
        }
    }

    static std::unique_ptr<TempDir> root_;
    static std::unique_ptr<PrintChain> chain_;
    static bool started_;
};

std::unique_ptr<TempDir> InstalledPackage::root_;
std::unique_ptr<PrintChain> InstalledPackage::chain_;
bool InstalledPackage::started_ = false;

TEST_F(InstalledPackage, ShipsTheRepositoryPpd)
{
    EXPECT_EQ(ReadFile(ShippedPpd()), ReadFile(root_->path() + "/usr/share/cups/model/KORLA_tessa-300.ppd"));
}

TEST_F(InstalledPackage, CupsListsThePpd)
{
    const ChildResult run = chain_->RunClient({"/usr/sbin/lpinfo", "-m"});
    EXPECT_EQ(0, run.exitStatus) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("KORLA_tessa-300.ppd KORLA Tessa-300 Receipt Printer\n")) << run.out;
}

// printer-install, started from an empty folder, uses the installed files;
// lp then prints a receipt through the queue to the network printer.
TEST_F(InstalledPackage, InstallerFromAnEmptyFolderSetsUpAQueueThatPrints)
{
    const std::string queue = chain_->InstallNetworkQueue();
    ASSERT_FALSE(queue.empty());
    const std::optional<QueueState> state = chain_->cupsd().Queue(queue);
    ASSERT_TRUE(state);
    EXPECT_EQ("KORLA Tessa-300 Receipt Printer", state->makeAndModel);

    ASSERT_TRUE(chain_->Print(queue, SourceFile("samples/receipt.txt")));
    EXPECT_EQ(DefaultOutline(1), ReadReceipt(chain_->NewestNetworkJob()).outline);
}

}  // namespace
