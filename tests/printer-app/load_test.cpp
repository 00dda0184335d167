// A busy hour: several tills send receipts back to back, PNG, JPEG and PWG
// raster mixed. Every job must reach the printer exactly once and whole, in
// the order each till sent them, and the server must stay up.
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app_server.h"
#include "png_files.h"
#include "printer_bytes.h"
#include "raster_writer.h"

namespace {

constexpr int CLIENTS = 8;
constexpr int JOBS_PER_CLIENT = 500;

// Which job a stretch of printer bytes belongs to.
struct Mark {
    int client;
    int job;
    bool operator<(const Mark& other) const { return std::tie(client, job) < std::tie(other.client, other.job); }
};

// The start bytes of a job carry its mark, "#MARK client-job;", as text the
// printer prints.
std::string MarkText(const Mark& mark)
{
    return "#MARK " + std::to_string(mark.client) + "-" + std::to_string(mark.job) + ";";
}

std::string CustomBytes(const std::string& text)
{
    std::string custom = "Custom.";
    char token[8];
    for (const unsigned char c : text) {
        snprintf(token, sizeof(token), "\\\\x%02x", c);
        custom += token;
    }
    return custom;
}

struct Document {
    std::string format;
    std::string file;
};

// One client's jobs as one ipptool text: each job a Print-Job of its own,
// sent when the one before has been answered.
std::string ClientTest(int client, const std::vector<Document>& documents)
{
    std::string test;
    for (int job = 0; job < JOBS_PER_CLIENT; ++job) {
        const Document& document = documents[job % documents.size()];
        test += "{\nNAME \"job " + std::to_string(job) +
                "\"\nOPERATION Print-Job\nGROUP operation-attributes-tag\n"
                "ATTR charset attributes-charset utf-8\nATTR naturalLanguage attributes-natural-language en\n"
                "ATTR uri printer-uri $uri\nATTR name requesting-user-name till" +
                std::to_string(client) + "\nATTR mimeMediaType document-format " + document.format +
                "\nGROUP job-attributes-tag\nATTR keyword korla-faster-printing 0\n"
                "ATTR text korla-start-doc \"" +
                CustomBytes(MarkText({client, job})) + "\"\nFILE " + document.file +
                "\nSTATUS successful-ok\n}\n";
    }
    return test;
}

// The raster images (GS v 0) in a stretch of printer bytes, their data
// passed over so that it is never taken for a command.
int ImageCount(const std::string& bytes)
{
    int images = 0;
    for (size_t at = bytes.find(kImageCommandStart); at != std::string::npos && at + 8 <= bytes.size();
         at = bytes.find(kImageCommandStart, at)) {
        const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
        at += 8 + static_cast<size_t>(byte(4) | byte(5) << 8) * (byte(6) | byte(7) << 8);
        ++images;
    }
    return images;
}

// Each job's mark in the order the printer got them, with the images that
// followed it up to the next mark.
std::vector<std::pair<Mark, int>> MarkedJobs(const std::string& bytes)
{
    std::vector<std::pair<Mark, int>> jobs;
    const std::string prefix = "#MARK ";
    size_t at = bytes.find(prefix);
    while (at != std::string::npos) {
        Mark mark{};
        sscanf(bytes.c_str() + at + prefix.size(), "%d-%d;", &mark.client, &mark.job);
        const size_t next = bytes.find(prefix, at + 1);
        jobs.push_back({mark, ImageCount(bytes.substr(at, next == std::string::npos ? next : next - at))});
        at = next;
    }
    return jobs;
}

std::vector<Document> MakeDocuments(const std::string& folder)
{
    const std::vector<Document> documents = {{"image/png", folder + "/receipt.png"},
                                             {"image/jpeg", folder + "/receipt.jpg"},
                                             {"image/pwg-raster", folder + "/receipt.pwg"}};
    WriteFile(documents[0].file, BarPng(576, 120));
    const std::string pdf = std::string(PROJECT_SOURCE_DIR) + "/tests/e2e/data/receipt.pdf";
    // The top of the receipt, as a till's logo might be.
    EXPECT_EQ(0, RunChild({"/usr/bin/pdftoppm", "-r", "72", "-W", "226", "-H", "40", "-jpeg", "-singlefile", pdf,
                           folder + "/receipt"},
                          {})
                     .exitStatus);
    WriteRaster(documents[2].file, {PageWithBlankTail(72, 60, 10)}, RasterFormat::Pwg);
    return documents;
}

TEST(PrinterAppLoad, EveryJobOfEveryTillPrintsOnceInOrder)
{
    AppServer server;
    PrinterSetup setup;
    setup.bytesOnly = true;
    setup.statusInterval = 0;
    setup.logLevel = "info";  // the debug log of 4000 jobs would take most of the time
    ASSERT_TRUE(server.Start(setup));
    const TempDir folder("korla-load-");
    const std::vector<Document> documents = MakeDocuments(folder.path());

    std::vector<ChildResult> runs(CLIENTS);
    std::vector<std::thread> clients;
    for (int client = 0; client < CLIENTS; ++client) {
        const std::string test = folder / ("till-" + std::to_string(client) + ".test");
        WriteFile(test, ClientTest(client, documents));
        clients.emplace_back([&runs, &server, client, test] {
            runs[client] = RunChild({"/usr/bin/ipptool", "-t", server.PrinterUri(), test}, {});
        });
    }
    for (std::thread& client : clients)
        client.join();
    for (const ChildResult& run : runs)
        EXPECT_NE(std::string::npos, run.out.find(std::to_string(JOBS_PER_CLIENT) + " passed")) << run.out << run.err;

    // Every job accepted has been printed once the printer holds none.
    const std::string queued =
        "{\nOPERATION Get-Printer-Attributes\nGROUP operation-attributes-tag\n"
        "ATTR charset attributes-charset utf-8\nATTR naturalLanguage attributes-natural-language en\n"
        "ATTR uri printer-uri $uri\nATTR keyword requested-attributes queued-job-count\n"
        "EXPECT queued-job-count WITH-VALUE 0\nSTATUS successful-ok\n}\n";
    // Asked twice a second: every connection has the server save its state.
    for (int wait = 0; wait < 1200 && server.IppTool(queued).exitStatus != 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(0, server.Run({"status"}).exitStatus) << "the server is gone";

    std::map<Mark, int> printed;
    std::map<int, int> lastJob;
    int outOfOrder = 0, notWhole = 0;
    for (const auto& [mark, images] : MarkedJobs(server.StopAndCollectBytes())) {
        ++printed[mark];
        outOfOrder += lastJob.count(mark.client) && lastJob[mark.client] > mark.job;
        lastJob[mark.client] = mark.job;
        notWhole += images != 1;
    }
    int twice = 0;
    for (const auto& [mark, times] : printed)
        twice += times > 1;
    EXPECT_EQ(static_cast<size_t>(CLIENTS * JOBS_PER_CLIENT), printed.size()) << "jobs never printed";
    EXPECT_EQ(0, twice) << "jobs printed more than once";
    EXPECT_EQ(0, outOfOrder) << "jobs printed before one their till sent earlier";
    EXPECT_EQ(0, notWhole) << "jobs without exactly one image";
}

}  // namespace
