#include "image_job.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "device_channel.h"
#include "drivers.h"
#include "image_scaler.h"
#include "one_bit_choice.h"
#include "paper_status.h"
#include "printer_settings.h"
#include "receipt_job.h"
#include "receipt_layout.h"

namespace {

struct OptionsDeleter {
    void operator()(pappl_pr_options_t* options) const { papplJobDeletePrintOptions(options); }
};
using OptionsPtr = std::unique_ptr<pappl_pr_options_t, OptionsDeleter>;

// PAPPL's own limits for a job's image.
ImageLimits LimitsOf(pappl_job_t* job)
{
    int maxWidth = 0, maxHeight = 0;
    const size_t maxBytes =
        papplSystemGetMaxImageSize(papplPrinterGetSystem(papplJobGetPrinter(job)), &maxWidth, &maxHeight);
    return {static_cast<unsigned>(maxWidth), static_cast<unsigned>(maxHeight), maxBytes};
}

ImageDocument ReadJobFile(pappl_job_t* job, ImageReader reader)
{
    ImageDocument document;
    FILE* file = fopen(papplJobGetFilename(job), "rb");
    if (file == nullptr) {
        document.error = "the job's file cannot be opened";
        return document;
    }
    document = reader(file, LimitsOf(job));
    fclose(file);
    return document;
}

bool Abort(pappl_job_t* job, const char* kind, const std::string& reason)
{
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Not printed: the %s image cannot be read: %s", kind, reason.c_str());
    papplJobSetMessage(job, "Not printed: the %s image cannot be read: %s", kind, reason.c_str());
    papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
    return false;
}

// The image's rows as the printer prints them: scaled, placed, one bit a
// dot, into the job's page.
void WriteImage(pappl_job_t* job, const GreyImage& image, const ImageLayout& layout, uint32_t printableWidth,
                const OneBitOptions& oneBit, ReceiptJob& receipt)
{
    ImageScaler scaler(image, layout.width, layout.height);
    OneBitConverter converter(printableWidth, oneBit);
    std::vector<unsigned char> grey(printableWidth, 255);
    std::vector<unsigned char> row(converter.BytesPerLine());
    receipt.StartPage(printableWidth, converter.BytesPerLine(), layout.printedRows, printableWidth);
    for (uint32_t y = 0; y < layout.printedRows && !papplJobIsCanceled(job); ++y) {
        scaler.NextRow(grey.data() + layout.left);
        converter.ConvertRow(grey.data(), row.data());
        receipt.WriteRow(row.data());
    }
    receipt.EndPage();
}

bool PrintImage(pappl_job_t* job, pappl_device_t* device, const GreyImage& image)
{
    const std::optional<JobSettings> settings = JobSettingsToPrint(job);
    if (!settings)
        return false;
    const OptionsPtr options(papplJobCreatePrintOptions(job, 1, false));
    const uint32_t printableWidth = PrintableWidth(papplJobGetPrinter(job));
    const ImageLayout layout = LayOutImage(image.width, image.height, image.ppi, printableWidth,
                                           options->print_scaling, LengthLimitFor(job, *options));
    const OneBitOptions oneBit = OneBitOptionsFor(*options, image);
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Image at %ux%u dots, %u rows printed; dots by %s", layout.width,
                layout.height, layout.printedRows, OneBitMethodName(oneBit.method));
    if (layout.printedRows < layout.height)
        papplJobSetMessage(job, "Printed the first %u mm of the image only: a receipt is at most that long.",
                           RowsToMillimetres(layout.printedRows));

    const int copies = std::max(1, options->copies);
    papplJobSetImpressions(job, copies);
    if (!WaitForPaper(job, device))
        return false;
    DeviceChannel channel(job, device);
    ReceiptJob receipt(*settings, channel);
    WriteImage(job, image, layout, printableWidth, oneBit, receipt);
    receipt.PrintCopies(papplJobIsCanceled(job) ? 0 : copies);
    receipt.Finish();
    if (!channel.Flush())
        return false;
    CheckPaperDuringJob(job, device);
    papplJobSetImpressionsCompleted(job, papplJobIsCanceled(job) ? 0 : copies);
    return true;
}

}  // namespace

bool PrintImageFile(pappl_job_t* job, pappl_device_t* device, const char* kind, ImageReader reader)
{
    const ImageDocument document = ReadJobFile(job, reader);
    for (const std::string& warning : document.warnings)
        papplLogJob(job, PAPPL_LOGLEVEL_WARN, "%s: %s", kind, warning.c_str());
    if (!document.image)
        return Abort(job, kind, document.error);
    const GreyImage& image = *document.image;
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "%s image of %ux%u pixels, %d ppi", kind, image.width, image.height,
                image.ppi);
    return PrintImage(job, device, image);
}
