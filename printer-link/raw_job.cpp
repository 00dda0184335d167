#include "raw_job.h"

int SendRawJob(http_t* http, const std::string& queue, const char* title, const std::vector<unsigned char>& bytes,
               std::string& error)
{
    const int job = cupsCreateJob(http, queue.c_str(), title, 0, nullptr);
    if (job == 0) {
        error = cupsLastErrorString();
        return 0;
    }
    const bool sent =
        cupsStartDocument(http, queue.c_str(), job, title, CUPS_FORMAT_RAW, 1) == HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(http, reinterpret_cast<const char*>(bytes.data()), bytes.size()) == HTTP_STATUS_CONTINUE &&
        cupsFinishDocument(http, queue.c_str()) == IPP_STATUS_OK;
    if (!sent) {
        error = cupsLastErrorString();
        cupsCancelJob2(http, queue.c_str(), job, 0);
        return 0;
    }
    return job;
}
