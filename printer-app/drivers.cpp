#include "drivers.h"

#include <cstring>
#include <string>

#include "action_jobs.h"
#include "device_rules.h"
#include "everywhere_support.h"
#include "printer_settings.h"
#include "raster_callbacks.h"

namespace {

constexpr int DPI = 203;

// One roll width the printer takes.
struct RollModel {
    const char* driverName;
    const char* makeAndModel;
    int rollWidth;            // hundredths of millimetres
    unsigned printableWidth;  // dots
    const char* media[6];     // PWG names: receipt lengths, then the custom-length range
    int defaultMedia;         // index into media
};

const RollModel MODELS[] = {
    {"korla_80mm", "KORLA Tessa-300 (80 mm roll)", 8000, 576,
     {"om_80x100mm_80x100mm", "om_80x200mm_80x200mm", "om_80x297mm_80x297mm", "om_80x1000mm_80x1000mm",
      "roll_min_80x25mm", "roll_max_80x1000mm"},
     1},
    {"korla_58mm", "KORLA Tessa-300 (58 mm roll)", 5800, 384,
     {"om_58x100mm_58x100mm", "om_58x200mm_58x200mm", "om_58x297mm_58x297mm", "om_58x1000mm_58x1000mm",
      "roll_min_58x25mm", "roll_max_58x1000mm"},
     1},
};

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

// Text and lines print sharp with a plain threshold; photos get an ordered
// (Bayer) dither so that grey stays grey.
void SetDithers(pappl_pr_driver_data_t* data)
{
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            int bayer = 0;
            for (int bit = 0; bit < 4; ++bit) {
                const int xb = (x >> bit) & 1;
                const int yb = (y >> bit) & 1;
                bayer |= ((xb ^ yb) << (2 * (3 - bit) + 1)) | (yb << (2 * (3 - bit)));
            }
            data->gdither[y][x] = 127;
            data->pdither[y][x] = static_cast<unsigned char>(bayer);
        }
    }
}

void SetMedia(pappl_pr_driver_data_t* data, const RollModel& model)
{
    const int margin = (model.rollWidth - static_cast<int>(model.printableWidth * 2540 / DPI)) / 2;
    data->left_right = margin;
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
    ready.size_width = size ? size->width : model.rollWidth;
    ready.size_length = size ? size->length : 20000;
    ready.left_margin = ready.right_margin = margin;
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
    data->x_resolution[0] = data->y_resolution[0] = DPI;
    data->x_default = data->y_default = DPI;
    data->sides_supported = data->sides_default = PAPPL_SIDES_ONE_SIDED;
    data->orient_default = IPP_ORIENT_PORTRAIT;
    data->quality_default = IPP_QUALITY_NORMAL;
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
