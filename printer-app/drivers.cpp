#include "drivers.h"

#include <cstring>
#include <iterator>
#include <string>

#include "action_jobs.h"
#include "device_rules.h"
#include "everywhere_support.h"
#include "one_bit_image.h"
#include "printer_settings.h"
#include "raster_callbacks.h"

namespace {

// One roll width the printer takes. Its media are as wide as the head
// prints, with no margins, so that a client fits its page to what prints:
// CUPS renders a page for the media it is given and would crop one made
// for the whole roll.
struct RollModel {
    const char* driverName;
    const char* makeAndModel;
    int rollWidth;            // hundredths of millimetres
    unsigned printableWidth;  // dots
    // PWG names: receipt lengths, then the custom range, whose maximum is
    // the longest receipt. Its widths start a little narrower than the
    // head: CUPS sends a custom 72 mm as 71.96 mm.
    const char* media[6];
    int defaultMedia;         // index into media
};

const RollModel MODELS[] = {
    {"korla_80mm", "KORLA Tessa-300 (80 mm roll)", 8000, 576,
     {"om_72x100mm_72x100mm", "om_72x200mm_72x200mm", "om_72x297mm_72x297mm", "om_72x1000mm_72x1000mm",
      "roll_min_71.9x25mm", "roll_max_72x3000mm"},
     1},
    {"korla_58mm", "KORLA Tessa-300 (58 mm roll)", 5800, 384,
     {"om_48x100mm_48x100mm", "om_48x200mm_48x200mm", "om_48x297mm_48x297mm", "om_48x1000mm_48x1000mm",
      "roll_min_47.9x25mm", "roll_max_48x3000mm"},
     1},
};

// print-darkness comes in steps of this many levels.
constexpr int DARKNESS_LEVELS = 16;

pappl_pr_driver_t DRIVERS[] = {
    {"korla_80mm", "KORLA Tessa-300, 80 mm roll", "MFG:KORLA;MDL:Tessa-300;", nullptr},
    {"korla_58mm", "KORLA Tessa-300, 58 mm roll", nullptr, nullptr},
};

const RollModel* FindModel(const char* driverName)
{
    for (const RollModel& model : MODELS) {
        if (strcmp(model.driverName, driverName) == 0)
            return &model;
    }
    return nullptr;
}

// The matrices PAPPL turns grey raster rows into dots with: a threshold
// for text and lines, the ordered dither for photos. A job's own choice
// replaces them page by page (raster_callbacks.cpp).
void SetDithers(pappl_pr_driver_data_t* data)
{
    const ThresholdMatrix threshold = ThresholdsFor({OneBitMethod::Threshold, 0});
    const ThresholdMatrix ordered = ThresholdsFor({OneBitMethod::OrderedDither, 0});
    for (int y = 0; y < MATRIX_SIZE; ++y) {
        for (int x = 0; x < MATRIX_SIZE; ++x) {
            data->gdither[y][x] = threshold[y][x];
            data->pdither[y][x] = ordered[y][x];
        }
    }
}

void SetMedia(pappl_pr_driver_data_t* data, const RollModel& model)
{
    data->left_right = 0;
    data->bottom_top = 0;
    data->num_media = static_cast<int>(sizeof(model.media) / sizeof(model.media[0]));
    for (int i = 0; i < data->num_media; ++i)
        data->media[i] = model.media[i];
    data->num_source = 1;
    data->source[0] = "main-roll";
    data->tracking_supported = PAPPL_MEDIA_TRACKING_CONTINUOUS;
    data->num_type = 1;
    data->type[0] = "continuous";

    pappl_media_col_t& ready = data->media_ready[0];
    const pwg_media_t* size = pwgMediaForPWG(model.media[model.defaultMedia]);
    papplCopyString(ready.size_name, model.media[model.defaultMedia], sizeof(ready.size_name));
    papplCopyString(ready.source, data->source[0], sizeof(ready.source));
    papplCopyString(ready.type, data->type[0], sizeof(ready.type));
    ready.size_width = size->width;
    ready.size_length = size->length;
    ready.tracking = PAPPL_MEDIA_TRACKING_CONTINUOUS;
    data->media_default = ready;
}

}  // namespace

pappl_pr_driver_t* ReceiptDrivers(int& count)
{
    count = static_cast<int>(sizeof(DRIVERS) / sizeof(DRIVERS[0]));
    return DRIVERS;
}

// A printer of the state file keeps its device, even a serial port that is
// not plugged in at start; a printer added or moved while the server runs
// gets only a device it may have.
bool ReceiptDriverCallback(pappl_system_t* system, const char* driverName, const char* deviceUri,
                           const char* /*deviceId*/, pappl_pr_driver_data_t* data, ipp_t** driverAttributes,
                           void* /*data*/)
{
    const RollModel* model = FindModel(driverName);
    if (model == nullptr)
        return false;
    std::string error;
    if (papplSystemIsRunning(system) && !IsAcceptedDevice(deviceUri, error)) {
        papplLog(system, PAPPL_LOGLEVEL_ERROR, "Refused the device of a new printer: %s.", error.c_str());
        return false;
    }

    data->extension = const_cast<RollModel*>(model);
    SetReceiptCallbacks(data);
    data->testpage_cb = QueueTestReceipt;
    papplCopyString(data->make_and_model, model->makeAndModel, sizeof(data->make_and_model));
    data->format = PRINTER_FORMAT;
    data->ppm = 10;
    data->kind = PAPPL_KIND_RECEIPT | PAPPL_KIND_ROLL;
    data->color_supported = PAPPL_COLOR_MODE_MONOCHROME | PAPPL_COLOR_MODE_BI_LEVEL;
    data->color_default = PAPPL_COLOR_MODE_MONOCHROME;
    data->raster_types = PAPPL_PWG_RASTER_TYPE_BLACK_1 | PAPPL_PWG_RASTER_TYPE_SGRAY_8;
    data->force_raster_type = PAPPL_PWG_RASTER_TYPE_BLACK_1;
    data->num_resolution = 1;
    data->x_resolution[0] = data->y_resolution[0] = PRINTER_DPI;
    data->x_default = data->y_default = PRINTER_DPI;
    data->sides_supported = data->sides_default = PAPPL_SIDES_ONE_SIDED;
    data->orient_default = IPP_ORIENT_PORTRAIT;
    data->quality_default = IPP_QUALITY_NORMAL;
    data->darkness_supported = DARKNESS_LEVELS;
    data->darkness_default = 0;
    SetDithers(data);
    SetMedia(data, *model);

    *driverAttributes = ippNew();
    AddReceiptAttributes(data, *driverAttributes);
    AddEverywhereSupport(data, *driverAttributes);
    return true;
}

const char* ReceiptAutoAddCallback(const char* /*deviceInfo*/, const char* /*deviceUri*/, const char* deviceId,
                                   void* /*data*/)
{
    cups_option_t* pairs = nullptr;
    const int count = papplDeviceParseID(deviceId, &pairs);
    const char* make = cupsGetOption("MANUFACTURER", count, pairs);
    if (make == nullptr)
        make = cupsGetOption("MFG", count, pairs);
    const bool ours = make != nullptr && strcmp(make, "KORLA") == 0;
    cupsFreeOptions(count, pairs);
    return ours ? MODELS[0].driverName : nullptr;
}

namespace {

const RollModel& ModelOf(pappl_printer_t* printer)
{
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    return *static_cast<const RollModel*>(data.extension);
}

}  // namespace

unsigned PrintableWidth(pappl_printer_t* printer)
{
    return ModelOf(printer).printableWidth;
}

unsigned RollMillimetres(pappl_printer_t* printer)
{
    return static_cast<unsigned>(ModelOf(printer).rollWidth / 100);
}

uint32_t MaxReceiptRows(pappl_printer_t* printer)
{
    const RollModel& model = ModelOf(printer);
    const pwg_media_t* longest = pwgMediaForPWG(model.media[std::size(model.media) - 1]);
    return static_cast<uint32_t>(static_cast<uint64_t>(longest->length) * PRINTER_DPI / 2540);
}

uint32_t RowsToMillimetres(uint32_t rows)
{
    return static_cast<uint32_t>((uint64_t{rows} * 254 + PRINTER_DPI * 5) / (PRINTER_DPI * 10));
}
