// korla-logos: stores images in the receipt printer as its numbered logos,
// the ones that the queue's logo settings print above and below receipts.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "app_folder.h"
#include "logo_preview.h"
#include "logo_record.h"
#include "logo_sender.h"
#include "tool_options.h"

namespace {

constexpr char NAME[] = "korla-logos";

void Say(const std::string& message)
{
    std::cerr << NAME << ": " << message << "\n";
}

int Fail(const std::string& message)
{
    Say(message);
    return 1;
}

struct Logos {
    std::vector<PreparedLogo> prepared;
    std::vector<LogoBitmap> bitmaps;
};

std::optional<Logos> PrepareAll(const ToolOptions& options)
{
    Logos logos;
    for (const LogoRecipe& recipe : options.images) {
        std::string error;
        std::optional<PreparedLogo> logo = PrepareLogo(recipe, options.paperWidth, error);
        if (!logo) {
            Say(recipe.path + ": " + error);
            return std::nullopt;
        }
        logos.bitmaps.push_back(logo->bitmap);
        logos.prepared.push_back(std::move(*logo));
    }
    return logos;
}

bool WritePreview(const std::string& path, const Logos& logos, unsigned paperWidth)
{
    std::string error;
    const std::optional<std::vector<unsigned char>> png = LogoPreviewPng(logos.bitmaps, paperWidth, error);
    if (!png) {
        Say("the preview: " + error);
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
    if (!out.flush()) {
        Say("cannot write " + path);
        return false;
    }
    std::cout << "Preview of the logos as they will print: " << path << "\n";
    return true;
}

// FS q replaces every logo the printer holds: the user is told, and asked
// unless --yes says not to.
bool Confirmed(const ToolOptions& options, const Logos& logos, const std::string& printer)
{
    std::cout << "Storing " << logos.bitmaps.size() << (logos.bitmaps.size() == 1 ? " logo" : " logos") << " in "
              << printer << " replaces every logo stored in the printer now:\n";
    for (size_t i = 0; i < logos.prepared.size(); ++i)
        std::cout << "  logo " << i + 1 << ": " << options.images[i].path << ", "
                  << DescribeLogo(options.images[i], logos.prepared[i]) << "\n";
    if (options.yes)
        return true;
    if (!isatty(STDIN_FILENO)) {
        Say("not stored: add --yes to store without being asked");
        return false;
    }
    std::cout << "Store them? [y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

int Store(const ToolOptions& options, const Logos& logos, const std::vector<unsigned char>& job,
          const std::string& folder)
{
    std::string error;
    const std::string deviceUri = options.deviceUri.empty() ? "" : DeviceUriToOpen(options.deviceUri, error);
    if (!options.deviceUri.empty() && deviceUri.empty())
        return Fail(options.deviceUri + ": " + error);
    const std::string printer = deviceUri.empty() ? "queue " + options.queue : deviceUri;
    const std::string key = deviceUri.empty() ? QueueRecordKey(options.queue) : LogoRecordKey(deviceUri);
    const std::string record = folder + "/" + LOGO_RECORD_FILE;
    const std::string digest = JobDigest(job);
    const std::optional<StoredLogoSet> last = LastStoredLogos(record, key);
    if (last && last->digest == digest && !options.again)
        return Fail("not stored: " + printer + " got these same logos last time, and storing them again only wears "
                    "its flash memory; add --again to store them all the same");
    if (!Confirmed(options, logos, printer))
        return 1;
    const bool sent = deviceUri.empty() ? SendToQueue(options.queue, job, error) : SendToDevice(deviceUri, job, error);
    if (!sent)
        return Fail("not stored: " + error);
    std::cout << "Stored " << logos.bitmaps.size() << " logos (" << job.size() << " bytes) in " << printer << ".\n";
    std::error_code created;
    std::filesystem::create_directories(folder, created);
    if (!RecordStoredLogos(record, key, *SetOfStoringJob(job), error))
        Say("the logos are stored, but the record of them is not: " + error);
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::cout << TOOL_USAGE;
        return 0;
    }
    const std::string folder = TakeFolderOption(argc, argv);
    if (folder.empty())
        return Fail("--dir needs a folder");
    std::string error;
    const std::optional<ToolOptions> options = ParseToolOptions({argv + 1, argv + argc}, error);
    if (!options) {
        std::cerr << NAME << ": " << error << "\n" << TOOL_USAGE;
        return 1;
    }
    const std::optional<Logos> logos = PrepareAll(*options);
    if (!logos)
        return 1;
    const std::optional<std::vector<unsigned char>> job = LogoStoringJob(logos->bitmaps, error);
    if (!job)
        return Fail("cannot store these images: " + error);
    if (!options->previewPath.empty() && !WritePreview(options->previewPath, *logos, options->paperWidth))
        return 1;
    if (options->deviceUri.empty() && options->queue.empty())
        return 0;
    return Store(*options, *logos, *job, folder);
}
