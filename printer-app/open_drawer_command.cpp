#include "open_drawer_command.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "action_jobs.h"
#include "app_folder.h"

namespace {

constexpr char DRAWER_OPTION[] = "--drawer";
constexpr auto JOB_WAIT = std::chrono::seconds(30);

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

ipp_t* Request(ipp_op_t operation, const std::string& printer)
{
    ipp_t* request = ippNewRequest(operation);
    const std::string uri = "ipp://localhost/ipp/print/" + printer;
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

// The job's id, or 0 with the server's reason said.
int SubmitDrawerJob(http_t* http, const std::string& printer, const std::string& drawer)
{
    ipp_t* request = Request(IPP_OP_PRINT_JOB, printer);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, OPEN_DRAWER_FORMAT);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, ("Open drawer " + drawer).c_str());
    const std::string resource = "/ipp/print/" + printer;
    IppPtr response;
    if (cupsSendRequest(http, request, resource.c_str(), CUPS_LENGTH_VARIABLE) == HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(http, drawer.data(), drawer.size()) == HTTP_STATUS_CONTINUE)
        response.reset(cupsGetResponse(http, resource.c_str()));
    ippDelete(request);
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        fprintf(stderr, "%s: %s\n", OPEN_DRAWER_COMMAND, cupsLastErrorString());
        return 0;
    }
    return ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0);
}

// The job's state once it has ended, or as it stands when the wait is over.
ipp_jstate_t WaitForJob(http_t* http, const std::string& printer, int job, std::string& message)
{
    const auto deadline = std::chrono::steady_clock::now() + JOB_WAIT;
    for (;;) {
        ipp_t* request = Request(IPP_OP_GET_JOB_ATTRIBUTES, printer);
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
        const IppPtr response(cupsDoRequest(http, request, ("/ipp/print/" + printer).c_str()));
        const auto state =
            static_cast<ipp_jstate_t>(ippGetInteger(ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM), 0));
        const char* text = ippGetString(ippFindAttribute(response.get(), "job-state-message", IPP_TAG_TEXT), 0, nullptr);
        message = text ? text : "";
        if (state >= IPP_JSTATE_CANCELED || state == 0 || std::chrono::steady_clock::now() > deadline)
            return state;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace

char** TakeDrawerOption(int& argc, char* argv[])
{
    static std::vector<std::string> texts;
    static std::vector<char*> arguments;
    texts.assign(argv, argv + argc);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == DRAWER_OPTION && i + 1 < texts.size()) {
            texts[i] = "-o";
            texts[i + 1] = "drawer=" + texts[i + 1];
        } else if (texts[i].rfind(std::string(DRAWER_OPTION) + "=", 0) == 0) {
            texts[i] = "drawer=" + texts[i].substr(strlen(DRAWER_OPTION) + 1);
            texts.insert(texts.begin() + static_cast<std::ptrdiff_t>(i), "-o");
        }
    }
    arguments.clear();
    for (std::string& text : texts)
        arguments.push_back(text.data());
    arguments.push_back(nullptr);
    argc = static_cast<int>(texts.size());
    return arguments.data();
}

int OpenDrawerCommand(const char* /*baseName*/, int numOptions, cups_option_t* options, int /*numFiles*/,
                      char** /*files*/, void* /*data*/)
{
    const char* printer = cupsGetOption("printer-name", numOptions, options);
    const char* chosen = cupsGetOption("drawer", numOptions, options);
    const std::string drawer = chosen ? chosen : "1";
    if (printer == nullptr || (drawer != "1" && drawer != "2")) {
        fprintf(stderr, "Usage: %s -d PRINTER [--drawer 1|2]\n", OPEN_DRAWER_COMMAND);
        return 1;
    }
    http_t* http = httpConnect2(ServerSocket().c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1, 30000, nullptr);
    if (http == nullptr) {
        fprintf(stderr, "%s: the server does not answer at %s\n", OPEN_DRAWER_COMMAND, ServerSocket().c_str());
        return 1;
    }
    const int job = SubmitDrawerJob(http, printer, drawer);
    std::string message;
    const ipp_jstate_t state = job > 0 ? WaitForJob(http, printer, job, message) : IPP_JSTATE_ABORTED;
    httpClose(http);
    if (job == 0)
        return 1;
    if (state == IPP_JSTATE_COMPLETED) {
        printf("Drawer %s of %s opened.\n", drawer.c_str(), printer);
        return 0;
    }
    if (state < IPP_JSTATE_CANCELED && state != 0) {
        printf("Drawer %s of %s opens after the printer's other jobs: job %d.\n", drawer.c_str(), printer, job);
        return 0;
    }
    fprintf(stderr, "%s: drawer %s of %s not opened: %s\n", OPEN_DRAWER_COMMAND, drawer.c_str(), printer,
            message.empty() ? "the job did not complete" : message.c_str());
    return 1;
}
