// A printer's receipt settings are the shop's: each survives any number of
// restarts as it was set, a value outside its choices is refused where it
// is set, and one that is stored all the same never stops the printing.
#include <cups/cups.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "app_server.h"
#include "png_files.h"
#include "printer_bytes.h"
#include "receipt_attributes.h"

namespace {

using Values = std::map<std::string, std::string>;

const std::string START_BYTES = "Custom.\\x1b\\x61\\x01";
const std::string END_BYTES = "Custom.\\x1d\\x56\\x42\\x0";

// A value of every receipt setting other than its shipped default.
Values OtherThanTheDefaults()
{
    Values values;
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        if (TakesCustomBytes(attribute))
            values[attribute.ippName] = std::string(attribute.ippName) == "korla-start-doc" ? START_BYTES : END_BYTES;
        else
            values[attribute.ippName] = attribute.choices.back().keyword != std::string(ApplicationDefault(attribute))
                                         ? attribute.choices.back().keyword
                                         : attribute.choices.front().keyword;
    }
    return values;
}

// The printer's attributes as a client gets them.
ipp_t* PrinterAttributes(const AppServer& server)
{
    http_t* http = httpConnect2("127.0.0.1", server.port(), nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 10000,
                                nullptr);
    if (http == nullptr)
        return nullptr;
    // A server that stops answering fails the test instead of hanging it.
    httpSetTimeout(http, kGuardSeconds, nullptr, nullptr);
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, server.PrinterUri().c_str());
    ipp_t* response = cupsDoRequest(http, request, ("/ipp/print/" + PRINTER).c_str());
    httpClose(http);
    return response;
}

// The printer's default of every receipt setting, as the server holds it.
Values StoredDefaults(const AppServer& server)
{
    Values values;
    ipp_t* response = PrinterAttributes(server);
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        const std::string name = std::string(attribute.ippName) + "-default";
        const char* value = ippGetString(ippFindAttribute(response, name.c_str(), IPP_TAG_ZERO), 0, nullptr);
        values[attribute.ippName] = value ? value : "(none)";
    }
    ippDelete(response);
    return values;
}

std::string StateMessage(const AppServer& server)
{
    ipp_t* response = PrinterAttributes(server);
    const char* message =
        ippGetString(ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT), 0, nullptr);
    const std::string text = message ? message : "";
    ippDelete(response);
    return text;
}

// The custom bytes on the receipt page, every other setting over IPP.
void SetDefaults(AppServer& server, const Values& values)
{
    std::string request = IppRequest("Set-Printer-Attributes") + "GROUP printer-attributes-tag\n";
    std::string form;
    for (const auto& [name, value] : values) {
        if (TakesCustomBytes(*FindReceiptAttribute(name)))
            form += (form.empty() ? "" : "&") + name + "=" + UrlEncoded(value);
        else
            request += "ATTR keyword " + name + "-default " + value + "\n";
    }
    const ChildResult set = server.AdminIppTool(request + "STATUS successful-ok\n}\n");
    EXPECT_EQ(0, set.exitStatus) << set.out << set.err;
    std::string page;
    EXPECT_EQ(200, server.PostForm("/" + PRINTER + "/receipt", form, &page));
    EXPECT_NE(std::string::npos, page.find("Changes saved.")) << page;
}

AppServer::PrinterJob PrintBar(AppServer& server, const std::string& folder)
{
    const std::string png = folder + "/bar.png";
    WriteFile(png, BarPng(576, 40));
    const ChildResult run = server.Run({"submit", "-d", PRINTER, png});
    EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    return server.NextJob();
}

TEST(PrinterAppRestart, EverySettingSurvivesRestartsUnchanged)
{
    AppServer server;
    ASSERT_TRUE(server.Start());
    const Values wanted = OtherThanTheDefaults();
    SetDefaults(server, wanted);
    ASSERT_EQ(wanted, StoredDefaults(server));
    for (int restart = 1; restart <= 3; ++restart) {
        ASSERT_TRUE(server.Restart());
        EXPECT_EQ(wanted, StoredDefaults(server)) << "after restart " << restart;
    }
    const TempDir documents("korla-restart-");
    const AppServer::PrinterJob job = PrintBar(server, documents.path());
    ASSERT_TRUE(job.arrived);
    EXPECT_NE(std::string::npos, job.bytes.find(Bytes({0x1B, 0x61, 0x01}))) << job.listing;
    EXPECT_NE(std::string::npos, job.bytes.find(kPartialCut + kInitialise)) << job.listing;
}

// cupsParseOptions takes a backslash as an escape, as for lpadmin: the
// notation needs it doubled on the command line, and without that the
// value is not custom bytes.
TEST(PrinterAppRestart, ModifyStoresOnlyChoices)
{
    AppServer server;
    ASSERT_TRUE(server.Start());
    for (const std::string refused :
         {"korla-start-doc-default=Custom.\\x1b\\x61\\x01", "korla-paper-source-default=Guillotine",
          "korla-cash-drawer-1-pulse-width-default=60"})
        EXPECT_NE(0, server.Run({"modify", "-d", PRINTER, "-o", refused}).exitStatus) << refused;
    EXPECT_EQ("None", StoredDefaults(server)["korla-start-doc"]);
    EXPECT_EQ("PartialCut", StoredDefaults(server)["korla-paper-source"]);

    const ChildResult taken =
        server.Run({"modify", "-d", PRINTER, "-o", "korla-start-doc-default=Custom.\\\\x1b\\\\x61\\\\x01"});
    EXPECT_EQ(0, taken.exitStatus) << taken.out << taken.err;
    EXPECT_EQ(START_BYTES, StoredDefaults(server)["korla-start-doc"]);
}

// An older version stored custom bytes with their backslashes doubled; a
// hand-edited state file may hold anything.
TEST(PrinterAppRestart, StoredDefaultOutsideItsChoicesPrintsWithTheShippedOne)
{
    AppServer server;
    ASSERT_TRUE(server.Start());
    server.Stop();
    const std::string stateFile = server.folder() + "/korla-printer-app.state";
    std::string state = ReadFile(stateFile);
    state = std::regex_replace(state, std::regex("korla-paper-source-default [^\n]*"),
                               "korla-paper-source-default Guillotine");
    state = std::regex_replace(state, std::regex("korla-start-doc-default [^\n]*"),
                               "korla-start-doc-default Custom.\\\\x1b\\\\x61\\\\x01");
    WriteFile(stateFile, state);
    ASSERT_TRUE(server.Restart());

    const std::string message = StateMessage(server);
    EXPECT_NE(std::string::npos, message.find("korla-paper-source")) << message;
    EXPECT_NE(std::string::npos, message.find("korla-start-doc")) << message;
    EXPECT_NE(std::string::npos, server.WebPage("/" + PRINTER + "/").find("Guillotine"));

    const TempDir documents("korla-restart-");
    const AppServer::PrinterJob job = PrintBar(server, documents.path());
    ASSERT_TRUE(job.arrived);
    EXPECT_EQ(1, CountWords(job.receipt.outline, Hex(kPartialCut))) << job.listing;
    EXPECT_EQ(std::string::npos, job.bytes.find(Bytes({0x1B, 0x61, 0x01}))) << job.listing;
}

}  // namespace
