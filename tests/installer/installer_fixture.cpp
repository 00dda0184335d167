#include "installer_fixture.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "ppd_writer.h"

namespace {

std::string MachineName()
{
    std::string name;
    if (FILE* pipe = popen("uname -m", "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            name += buffer;
        pclose(pipe);
    }
    return name;
}

}  // namespace

std::string ShippedPpdText()
{
    return ReadFile(SHIPPED_PPD);
}

std::string FilterText()
{
    return ReadFile(FILTER_BINARY);
}

std::string ShippedPpdValue(const std::string& keyword)
{
    return PpdValue(SHIPPED_PPD, keyword);
}

void InstallerTest::SetUp()
{
    installer_ = PRINTER_INSTALL_PATH;
    runDir_ = work_.path();
    ASSERT_TRUE(cupsd_.Start());
    ASSERT_TRUE(WriteFile(work_ / "KORLA_tessa-300.ppd", ShippedPpdText()));
    ASSERT_TRUE(WriteFile(work_ / "RasterToKPrinter", FilterText(), 0755));
}

ChildResult InstallerTest::RunInstaller(const std::string& answers,
                                        const std::map<std::string, std::optional<std::string>>& extraEnvironment)
{
    ChildOptions options;
    options.workingDir = runDir_;
    options.input = answers;
    options.environment = cupsd_.ClientEnvironment();
    options.environment["TERM"] = std::nullopt;  // "clear" then writes nothing to standard output
    options.environment["LC_ALL"] = "C";
    options.environment["HOME"] = work_.path();
    options.environment["SUDO_UID"] = std::nullopt;  // the tests' own sudo, if any, is not the installer's
    options.guardSeconds = 120;
    options.started = started_;
    for (const auto& [name, value] : extraEnvironment)
        options.environment[name] = value;
    return RunChild({installer_}, options);
}

std::string TestReceiptOffer(const std::string& queue)
{
    return "Print a test receipt on " + queue + "? [y/N]: \n";
}

std::string MenuText()
{
    return "=============================================\n"
           "Select Interface\n\n"
           "1) Serial\n"
           "2) USB to Serial\n"
           "3) USB\n"
           "4) Ethernet\n\n"
           "0) Exit\n"
           "=============================================\n"
           "Your select:";
}

std::string PrinterListText(const std::string& proposal, const std::vector<std::string>& existing)
{
    std::string text = "Number of printers found in the system is [" + std::to_string(existing.size()) +
                       "], Given Name [" + proposal + "]\n";
    bool found = false;
    for (const std::string& name : existing) {
        text += "Printer name is [" + name + "] \n";
        found = found || strcasestr(name.c_str(), proposal.c_str()) != nullptr;
    }
    return text + "Found Same Name Exist " + (found ? "1" : "0") + " \n";
}

std::string InstallerTest::CopyText(bool ppdCopied) const
{
    const std::string machine = MachineName();
    const bool is64 = machine.find("x86_64") != std::string::npos;
    const std::string ppdCopy = "'./KORLA_tessa-300.ppd' -> '" + cupsd_.dataDir() + "/model/KORLA_tessa-300.ppd'\n";
    return "copy ppd file [KORLA_tessa-300.ppd]\n" + machine + "\n" +
           (is64 ? "Machine type : 64bit\n" : "Machine type : 32bit\n") + (ppdCopied ? ppdCopy : "") +
           "copy Filter file [RasterToKPrinter]\n" +
           "'./RasterToKPrinter' -> '" + cupsd_.serverBin() + "/filter/RasterToKPrinter'\n";
}

std::string InstallerTest::RegistrationStart(const std::string& uri, const std::string& name) const
{
    return "URI : [" + uri + "] \n" + "PRT_NAME : [" + name + "] \n" + "PPD : [KORLA_tessa-300.ppd] \n" +
           "AddPrinter 1 \nAddPrinter 2 \n" + CopyText();
}

std::string InstallerTest::RegistrationText(const std::string& uri, const std::string& name,
                                            const std::string& status) const
{
    return RegistrationStart(uri, name) + "Add Printer status [" + status + "]\n";
}

void InstallerTest::ExpectRegistered(const std::string& name, const std::string& uri) const
{
    const std::optional<QueueState> queue = cupsd_.Queue(name);
    ASSERT_TRUE(queue) << "no queue " << name;
    EXPECT_EQ(uri, queue->deviceUri);
    EXPECT_EQ(ShippedPpdValue("NickName"), queue->makeAndModel);
    EXPECT_TRUE(queue->acceptingJobs);
    EXPECT_TRUE(queue->collateByDefault);
    EXPECT_EQ(3, queue->state);
    EXPECT_EQ(ShippedPpdText(), ReadFile(InstalledPpd()));
    EXPECT_TRUE(FilterText() == ReadFile(InstalledFilter())) << InstalledFilter() << " is not the built filter";
    EXPECT_EQ(0, access(InstalledFilter().c_str(), X_OK));
}

void InstallerTest::MoveDriverFilesToCupsFolders() const
{
    ASSERT_EQ(0, rename((work_ / "KORLA_tessa-300.ppd").c_str(), InstalledPpd().c_str()));
    ASSERT_EQ(0, rename((work_ / "RasterToKPrinter").c_str(), InstalledFilter().c_str()));
}
