#include "printer_device.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "device_rules.h"
#include "printer_settings.h"

namespace {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};

// Everything of the printer that is not made with it.
struct Kept {
    int id = 0;
    std::string name, driver, deviceId;
    pappl_pr_driver_data_t data{};
    std::vector<std::pair<std::string, std::string>> receipt;  // "NAME" and its default
    char location[256] = "", geoLocation[256] = "", organization[256] = "", unit[256] = "", dnsSdName[256] = "";
    pappl_contact_t contact{};
};

Kept Keep(pappl_printer_t* printer)
{
    Kept kept;
    kept.id = papplPrinterGetID(printer);
    kept.name = papplPrinterGetName(printer);
    kept.driver = papplPrinterGetDriverName(printer);
    const char* deviceId = papplPrinterGetDeviceID(printer);
    kept.deviceId = deviceId ? deviceId : "";
    papplPrinterGetDriverData(printer, &kept.data);
    const std::unique_ptr<ipp_t, IppDeleter> attributes(papplPrinterGetDriverAttributes(printer));
    for (const ReceiptAttribute& attribute : ReceiptAttributes()) {
        const std::string byDefault = std::string(attribute.ippName) + "-default";
        const std::string value = ValueOf(ippFindAttribute(attributes.get(), byDefault.c_str(), IPP_TAG_ZERO));
        if (!value.empty())
            kept.receipt.emplace_back(attribute.ippName, value);
    }
    papplPrinterGetLocation(printer, kept.location, sizeof kept.location);
    papplPrinterGetGeoLocation(printer, kept.geoLocation, sizeof kept.geoLocation);
    papplPrinterGetOrganization(printer, kept.organization, sizeof kept.organization);
    papplPrinterGetOrganizationalUnit(printer, kept.unit, sizeof kept.unit);
    papplPrinterGetDNSSDName(printer, kept.dnsSdName, sizeof kept.dnsSdName);
    papplPrinterGetContact(printer, &kept.contact);
    return kept;
}

void Restore(pappl_printer_t* printer, const Kept& kept)
{
    // Built with cupsAddOption: PAPPL looks them up with cupsGetOption,
    // which searches a sorted array.
    cups_option_t* vendor = nullptr;
    int count = 0;
    for (const auto& [name, value] : kept.receipt)
        count = cupsAddOption(name.c_str(), value.c_str(), count, &vendor);
    pappl_pr_driver_data_t data = kept.data;
    papplPrinterSetDriverDefaults(printer, &data, count, vendor);
    cupsFreeOptions(count, vendor);
    papplPrinterSetReadyMedia(printer, data.num_source, data.media_ready);
    papplPrinterSetLocation(printer, kept.location);
    papplPrinterSetGeoLocation(printer, kept.geoLocation[0] ? kept.geoLocation : nullptr);
    papplPrinterSetOrganization(printer, kept.organization);
    papplPrinterSetOrganizationalUnit(printer, kept.unit);
    papplPrinterSetDNSSDName(printer, kept.dnsSdName);
    pappl_contact_t contact = kept.contact;
    papplPrinterSetContact(printer, &contact);
}

pappl_printer_t* Make(pappl_system_t* system, const Kept& kept, const std::string& deviceUri)
{
    return papplPrinterCreate(system, kept.id, kept.name.c_str(), kept.driver.c_str(),
                              kept.deviceId.empty() ? nullptr : kept.deviceId.c_str(), deviceUri.c_str());
}

}  // namespace

pappl_printer_t* ChangePrinterDevice(pappl_printer_t* printer, const std::string& deviceUri, std::string& error)
{
    if (papplPrinterGetNumberOfActiveJobs(printer) > 0) {
        error = "the printer has jobs to finish; change its device once they are done";
        return nullptr;
    }
    if (!IsAcceptedDevice(deviceUri, error))
        return nullptr;
    pappl_system_t* system = papplPrinterGetSystem(printer);
    const Kept kept = Keep(printer);
    const std::string oldUri = papplPrinterGetDeviceURI(printer);
    papplPrinterDelete(printer);
    pappl_printer_t* made = Make(system, kept, deviceUri);
    if (made == nullptr) {
        error = std::string("the printer could not be made with the new device: ") + strerror(errno);
        made = Make(system, kept, oldUri);
        if (made != nullptr)
            Restore(made, kept);
        return nullptr;
    }
    Restore(made, kept);
    return made;
}
