#include "test_receipt_job.h"

#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "console.h"
#include "install_paths.h"
#include "link_words.h"
#include "ppd_file.h"
#include "queue_settings.h"
#include "raw_job.h"
#include "receipt_engine.h"
#include "server_connection.h"
#include "test_receipt.h"

namespace {

constexpr char JOB_TITLE[] = "Test receipt";

// The engine's bytes, kept for the job.
class BytesChannel : public PrinterChannel {
public:
    long Write(const unsigned char* data, size_t len) override
    {
        bytes.insert(bytes.end(), data, data + len);
        return static_cast<long>(len);
    }
    bool Cancelled() const override { return false; }
    std::vector<unsigned char> bytes;
};

bool IsYes(const Answer& answer)
{
    std::string strWord = answer.strText;
    for (char& ch : strWord)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return answer.eKind == ANSWER_WORD && (strWord == "y" || strWord == "yes");
}

// What the installer knows of the printer: the queue's PPD, from which the
// server made the queue, and the device URI it registered. The paper is
// the PPD's default, the 80 mm roll. The printer is not asked.
TestReceiptFacts FactsOf(const InstalledQueue& queue, const std::string& strPpdPath)
{
    TestReceiptFacts facts;
    facts.printerName = queue.strName;
    facts.model = PpdNickName(strPpdPath);
    const LinkWords link = DescribeLink(queue.strDeviceUri);
    facts.link = link.link;
    facts.lineSettings = link.line;
    facts.status = "not asked by the installer";
    facts.settings = QueueSettingsInWords(strPpdPath.c_str());
    return facts;
}

std::vector<unsigned char> TestReceiptBytes(const InstalledQueue& queue)
{
    const std::string strPpdPath = ModelTargetDir() + queue.strPpdName;
    BytesChannel channel;
    ReceiptEngine engine(ReadQueueSettings(strPpdPath.c_str()), channel);
    engine.PrintTestReceipt(FactsOf(queue, strPpdPath));
    return channel.bytes;
}

}  // namespace

void OfferTestReceipt(const InstalledQueue& queue)
{
    std::printf("Print a test receipt on %s? [y/N]: ", queue.strName.c_str());
    const Answer answer = ReadAnswer();
    if (answer.eKind == ANSWER_END)
        WriteLine("");  // ends the prompt's line, which no typed answer ended
    if (!IsYes(answer))
        return;
    std::string strError;
    http_t* pHttp = ConnectToServer();
    const int nJob = pHttp ? SendRawJob(pHttp, queue.strName, JOB_TITLE, TestReceiptBytes(queue), strError) : 0;
    if (pHttp)
        httpClose(pHttp);
    if (nJob == 0)
        std::printf("Error> The test receipt was not sent [%s]\n", pHttp ? strError.c_str() : "http connection failed");
    else
        std::printf("Test receipt sent as job %d.\n", nJob);
}
