#include "installer_fixture.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr char PPD_TEXT[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"KTEST.PPD\"\n"
    "*Manufacturer: \"Test\"\n"
    "*Product: \"(Receipt Test)\"\n"
    "*ModelName: \"Receipt Test\"\n"
    "*ShortNickName: \"Receipt Test\"\n"
    "*NickName: \"Installer Test Receipt PPD\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: False\n"
    "*DefaultColorSpace: Gray\n"
    "*FileSystem: False\n"
    "*Throughput: \"1\"\n"
    "*LandscapeOrientation: Plus90\n"
    "*TTRasterizer: Type42\n"
    "*cupsVersion: 2.4\n"
    "*cupsModelNumber: 0\n"
    "*cupsManualCopies: True\n"
    "*cupsFilter: \"application/vnd.cups-raster 0 RasterToKPrinter\"\n"
    "*OpenUI *PageSize/Media Size: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageSize\n"
    "*DefaultPageSize: Roll80\n"
    "*PageSize Roll80/80mm x 200mm: \"<</PageSize[227 567]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*OpenUI *PageRegion/Media Size: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageRegion\n"
    "*DefaultPageRegion: Roll80\n"
    "*PageRegion Roll80/80mm x 200mm: \"<</PageSize[227 567]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageRegion\n"
    "*DefaultImageableArea: Roll80\n"
    "*ImageableArea Roll80/80mm x 200mm: \"0 0 227 567\"\n"
    "*DefaultPaperDimension: Roll80\n"
    "*PaperDimension Roll80/80mm x 200mm: \"227 567\"\n";

constexpr char FILTER_TEXT[] = "#!/bin/sh\n# stands in for the receipt filter\nexec cat\n";

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

void InstallerTest::SetUp()
{
    installer_ = PRINTER_INSTALL_PATH;
    ASSERT_TRUE(cupsd_.Start());
    ASSERT_TRUE(WriteFile(work_ / "KORLA_tessa-300.ppd", PPD_TEXT));
    ASSERT_TRUE(WriteFile(work_ / "RasterToKPrinter", FILTER_TEXT, 0755));
}

ChildResult InstallerTest::RunInstaller(const std::string& answers,
                                        const std::map<std::string, std::optional<std::string>>& extraEnvironment)
{
    ChildOptions options;
    options.workingDir = work_.path();
    options.input = answers;
    options.environment = cupsd_.ClientEnvironment();
    options.environment["TERM"] = std::nullopt;  // "clear" then writes nothing to standard output
    options.environment["LC_ALL"] = "C";
    options.environment["HOME"] = work_.path();
    for (const auto& [name, value] : extraEnvironment)
        options.environment[name] = value;
    return RunChild({installer_}, options);
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

std::string InstallerTest::RegistrationText(const std::string& uri, const std::string& name,
                                            const std::string& status) const
{
    return "URI : [" + uri + "] \n" + "PRT_NAME : [" + name + "] \n" + "PPD : [KORLA_tessa-300.ppd] \n" +
           "AddPrinter 1 \nAddPrinter 2 \n" + CopyText() + "Add Printer status [" + status + "]\n";
}

void InstallerTest::ExpectRegistered(const std::string& name, const std::string& uri) const
{
    const std::optional<QueueState> queue = cupsd_.Queue(name);
    ASSERT_TRUE(queue) << "no queue " << name;
    EXPECT_EQ(uri, queue->deviceUri);
    EXPECT_EQ(QUEUE_PPD_NICKNAME, queue->makeAndModel);
    EXPECT_TRUE(queue->acceptingJobs);
    EXPECT_TRUE(queue->collateByDefault);
    EXPECT_EQ(3, queue->state);
    EXPECT_EQ(PPD_TEXT, ReadFile(InstalledPpd()));
    EXPECT_EQ(FILTER_TEXT, ReadFile(InstalledFilter()));
    EXPECT_EQ(0, access(InstalledFilter().c_str(), X_OK));
}

void InstallerTest::MoveDriverFilesToCupsFolders() const
{
    ASSERT_EQ(0, rename((work_ / "KORLA_tessa-300.ppd").c_str(), InstalledPpd().c_str()));
    ASSERT_EQ(0, rename((work_ / "RasterToKPrinter").c_str(), InstalledFilter().c_str()));
}
