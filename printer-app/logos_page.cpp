#include "logos_page.h"

#include <cups/cups.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "action_jobs.h"
#include "app_folder.h"
#include "drivers.h"
#include "form_fields.h"
#include "logo_image.h"
#include "logo_preview.h"
#include "logo_record.h"
#include "printer_pages.h"

namespace {

constexpr char PAGE[] = "logos";
constexpr char TITLE[] = "Logos";
constexpr int IMAGE_FIELDS = 4;

// A set previewed and waiting to be stored, by printer.
struct PendingLogos {
    std::vector<unsigned char> job;  // ESC @, FS q
    std::string digest;
    std::vector<std::string> descriptions;
    std::vector<unsigned char> preview;  // PNG
};

std::mutex pendingMutex;
std::map<int, PendingLogos> pending;

const Choices DITHER_CHOICES = {{OneBitMethodWord(OneBitMethod::Threshold), "Threshold (line art, text)"},
                                {OneBitMethodWord(OneBitMethod::OrderedDither), "Ordered dither (flat greys)"},
                                {OneBitMethodWord(OneBitMethod::ErrorDiffusion), "Error diffusion (photos)"}};

std::string RecordFile()
{
    return AppFolder() + "/" + LOGO_RECORD_FILE;
}

std::optional<StoredLogoSet> Recorded(pappl_printer_t* printer)
{
    return LastStoredLogos(RecordFile(), LogoRecordKey(papplPrinterGetDeviceURI(printer)));
}

// Makes the uploaded images a set to store; the message says what became
// of them.
std::string Preview(pappl_printer_t* printer, int count, cups_option_t* form)
{
    const int threshold = atoi(Field("threshold", count, form).c_str());
    if (threshold < 1 || threshold > 255)
        return "The threshold must be a number from 1 to 255.";
    PendingLogos logos;
    std::vector<LogoBitmap> bitmaps;
    for (int i = 1; i <= IMAGE_FIELDS; ++i) {
        const std::string field = "logo" + std::to_string(i);
        LogoRecipe recipe{Field(field.c_str(), count, form), {OneBitMethod::Threshold, 0, threshold}};
        if (recipe.path.empty())
            continue;
        ParseOneBitMethod(Field((field + "_dither").c_str(), count, form), recipe.oneBit.method);
        std::string error;
        const std::optional<PreparedLogo> logo = PrepareLogo(recipe, PrintableWidth(printer), error);
        if (!logo)
            return "Image " + std::to_string(i) + " cannot be used: " + error + ".";
        bitmaps.push_back(logo->bitmap);
        logos.descriptions.push_back(DescribeLogo(recipe, *logo));
    }
    std::string error;
    std::optional<std::vector<unsigned char>> job = LogoStoringJob(bitmaps, error);
    std::optional<std::vector<unsigned char>> preview = job ? LogoPreviewPng(bitmaps, PrintableWidth(printer), error)
                                                            : std::nullopt;
    if (!preview)
        return "These images cannot be stored: " + error + ".";
    logos.job = std::move(*job);
    logos.digest = JobDigest(logos.job);
    logos.preview = std::move(*preview);
    std::lock_guard<std::mutex> lock(pendingMutex);
    pending[papplPrinterGetID(printer)] = std::move(logos);
    return "";
}

std::string Store(pappl_printer_t* printer, int count, cups_option_t* form)
{
    PendingLogos logos;
    {
        std::lock_guard<std::mutex> lock(pendingMutex);
        const auto found = pending.find(papplPrinterGetID(printer));
        if (found == pending.end() || found->second.digest != Field("digest", count, form))
            return "Nothing was stored: the preview has changed or gone; look at it again.";
        logos = found->second;
    }
    const std::optional<StoredLogoSet> last = Recorded(printer);
    if (last && last->digest == logos.digest && Field("again", count, form).empty())
        return "Nothing was stored: the printer got these same logos last time, and storing them again only wears "
               "its flash memory. Tick \"Store them again\" to store them all the same.";
    std::string error;
    if (SubmitActionJob(printer, STORE_LOGOS_FORMAT, "Store logos", logos.job, error) == nullptr)
        return "Nothing was stored: " + error + ".";
    std::lock_guard<std::mutex> lock(pendingMutex);
    pending.erase(papplPrinterGetID(printer));
    return "The " + std::to_string(logos.descriptions.size()) +
           " logos go to the printer after the jobs before them, replacing every logo it held.";
}

// Handles a posted form; returns the message for the banner.
std::string Act(pappl_client_t* client, pappl_printer_t* printer)
{
    cups_option_t* form = nullptr;
    const int count = papplClientGetForm(client, &form);
    std::string message;
    if (!papplClientIsValidForm(client, count, form))
        message = "Invalid form submission.";
    else if (Field("action", count, form) == "store")
        message = Store(printer, count, form);
    else
        message = Preview(printer, count, form);
    cupsFreeOptions(count, form);
    return message;
}

void ShowRecorded(pappl_client_t* client, pappl_printer_t* printer)
{
    const std::optional<StoredLogoSet> last = Recorded(printer);
    if (!last) {
        papplClientHTMLPuts(client, "<p>No logos are known to have been stored in this printer from here.</p>\n");
        return;
    }
    std::string sizes;
    for (size_t i = 0; i < last->sizes.size(); ++i)
        sizes += (i > 0 ? ", " : "") + std::to_string(i + 1) + ": " + std::to_string(last->sizes[i].first) + "x" +
                 std::to_string(last->sizes[i].second) + " dots";
    papplClientHTMLPrintf(client, "<p>The printer got these logos last: %s.</p>\n", sizes.c_str());
}

void ShowPending(pappl_client_t* client, pappl_printer_t* printer)
{
    std::optional<PendingLogos> logos;
    {
        std::lock_guard<std::mutex> lock(pendingMutex);
        const auto found = pending.find(papplPrinterGetID(printer));
        if (found != pending.end())
            logos = found->second;
    }
    if (!logos)
        return;
    papplClientHTMLPuts(client, "<h2 class=\"title\">Preview</h2>\n<ol>\n");
    for (const std::string& description : logos->descriptions)
        papplClientHTMLPrintf(client, "<li>%s</li>\n", description.c_str());
    std::vector<char> base64(logos->preview.size() * 4 / 3 + 8);
    httpEncode64_2(base64.data(), static_cast<int>(base64.size()), reinterpret_cast<const char*>(logos->preview.data()),
                   static_cast<int>(logos->preview.size()));
    papplClientHTMLPrintf(client, "</ol>\n<p><img alt=\"The logos as they will print\" src=\"data:image/png;base64,%s\"></p>\n",
                          base64.data());
    papplClientHTMLStartForm(client, papplClientGetURI(client), false);
    papplClientHTMLPrintf(client,
                          "<input type=\"hidden\" name=\"action\" value=\"store\">"
                          "<input type=\"hidden\" name=\"digest\" value=\"%s\">"
                          "<p><strong>Storing these logos replaces every logo stored in the printer now.</strong> "
                          "The printer keeps them in flash memory, which wears with every write.</p>\n"
                          "<p><label><input type=\"checkbox\" name=\"again\" value=\"yes\"> Store them again if the "
                          "printer got these same logos last time</label></p>\n"
                          "<p><input type=\"submit\" value=\"Store in the Printer\"></p></form>\n",
                          logos->digest.c_str());
}

void ShowUploadForm(pappl_client_t* client)
{
    papplClientHTMLPuts(client, "<h2 class=\"title\">Images</h2>\n");
    papplClientHTMLStartForm(client, papplClientGetURI(client), true);
    papplClientHTMLPuts(client, "<input type=\"hidden\" name=\"action\" value=\"preview\">\n"
                                "<table class=\"form\">\n<tbody>\n");
    for (int i = 1; i <= IMAGE_FIELDS; ++i) {
        const std::string field = "logo" + std::to_string(i);
        const std::string label = "Logo " + std::to_string(i);
        ShowRow(client, label.c_str());
        papplClientHTMLPrintf(client, "<input type=\"file\" name=\"%s\" accept=\"image/png,image/jpeg\"> ",
                              field.c_str());
        ShowSelect(client, (field + "_dither").c_str(), DITHER_CHOICES, OneBitMethodWord(OneBitMethod::Threshold));
        papplClientHTMLPuts(client, "</td></tr>\n");
    }
    ShowRow(client, "Threshold");
    papplClientHTMLPrintf(client,
                          "<input type=\"number\" name=\"threshold\" min=\"1\" max=\"255\" value=\"%d\"> a dot "
                          "prints where the image is darker</td></tr>\n"
                          "<tr><th></th><td>PNG or JPEG, 2 MB in all; wider than the paper, an image is scaled "
                          "down to it.</td></tr>\n"
                          "<tr><th></th><td><input type=\"submit\" value=\"Preview\"></td></tr>\n"
                          "</tbody>\n</table>\n</form>\n",
                          DEFAULT_THRESHOLD);
}

bool ServeLogosPage(pappl_client_t* client, void* /*data*/)
{
    pappl_printer_t* printer = PrinterOfPage(client, PAGE);
    if (printer == nullptr)
        return papplClientRespond(client, HTTP_STATUS_NOT_FOUND, nullptr, nullptr, 0, 0);
    if (!papplClientHTMLAuthorize(client))
        return true;
    const std::string message = papplClientGetMethod(client) == HTTP_STATE_POST ? Act(client, printer) : "";
    StartPrinterPage(client, printer, TITLE, message);
    papplClientHTMLPuts(client, "<p>Logos stored in the printer print above and below receipts when the printing "
                                "defaults choose them (Logo Position, Top Logo Number, Bottom Logo Number).</p>\n");
    ShowRecorded(client, printer);
    ShowPending(client, printer);
    ShowUploadForm(client);
    papplClientHTMLPrinterFooter(client);
    return true;
}

}  // namespace

void AddLogosPage(pappl_printer_t* printer)
{
    AddPrinterPage(printer, PAGE, TITLE, ServeLogosPage,
                   static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_PRINTER));
}
