#include "logo_record.h"

#include <cups/cups.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "serial_line.h"
#include "stored_logos.h"

namespace {

// One process writes the file at a time; korla-printer-app's threads wait
// for each other here.
std::mutex fileMutex;

std::map<std::string, std::string> ReadLines(const std::string& file)
{
    std::map<std::string, std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos)
            lines[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return lines;
}

std::optional<StoredLogoSet> ParseSet(const std::string& text)
{
    std::istringstream in(text);
    StoredLogoSet set;
    if (!std::getline(in, set.digest, '\t') || set.digest.empty())
        return std::nullopt;
    for (std::string size; in >> size;) {
        unsigned width = 0, height = 0;
        char by = 0;
        std::istringstream dimensions(size);
        if (!(dimensions >> width >> by >> height) || by != 'x')
            return std::nullopt;
        set.sizes.emplace_back(width, height);
    }
    return set;
}

std::string FormatSet(const StoredLogoSet& set)
{
    std::string text = set.digest + "\t";
    for (size_t i = 0; i < set.sizes.size(); ++i)
        text += (i > 0 ? " " : "") + std::to_string(set.sizes[i].first) + "x" + std::to_string(set.sizes[i].second);
    return text;
}

}  // namespace

std::string LogoRecordKey(const std::string& deviceUri)
{
    std::string error;
    if (const std::optional<SerialLine> line = ParseSerialUri(deviceUri, error))
        return std::string(SERIAL_SCHEME) + ":" + line->port;
    return deviceUri;
}

std::string QueueRecordKey(const std::string& queue)
{
    return "queue:" + queue;
}

std::string JobDigest(const std::vector<unsigned char>& job)
{
    unsigned char hash[32];
    const ssize_t length = cupsHashData("sha2-256", job.data(), job.size(), hash, sizeof hash);
    char text[65];
    return length > 0 ? cupsHashString(hash, static_cast<size_t>(length), text, sizeof text) : "";
}

std::optional<StoredLogoSet> SetOfStoringJob(const std::vector<unsigned char>& job)
{
    constexpr unsigned char START[] = {0x1b, 0x40, 0x1c, 0x71};
    if (job.size() < sizeof START + 1 || !std::equal(START, START + sizeof START, job.begin()))
        return std::nullopt;
    StoredLogoSet set{JobDigest(job), {}};
    size_t at = sizeof START + 1;
    for (unsigned logo = 0; logo < job[sizeof START]; ++logo) {
        if (job.size() - at < 4)
            return std::nullopt;
        const unsigned across = job[at] + 256u * job[at + 1], down = job[at + 2] + 256u * job[at + 3];
        const size_t length = size_t{across} * down * LOGO_UNIT_DOTS;
        if (job.size() - at - 4 < length)
            return std::nullopt;
        set.sizes.emplace_back(across * LOGO_UNIT_DOTS, down * LOGO_UNIT_DOTS);
        at += 4 + length;
    }
    if (at != job.size() || set.sizes.empty())
        return std::nullopt;
    return set;
}

std::optional<StoredLogoSet> LastStoredLogos(const std::string& file, const std::string& key)
{
    std::lock_guard<std::mutex> lock(fileMutex);
    const std::map<std::string, std::string> lines = ReadLines(file);
    const auto found = lines.find(key);
    if (found == lines.end())
        return std::nullopt;
    return ParseSet(found->second);
}

bool RecordStoredLogos(const std::string& file, const std::string& key, const StoredLogoSet& set,
                       std::string& error)
{
    std::lock_guard<std::mutex> lock(fileMutex);
    std::map<std::string, std::string> lines = ReadLines(file);
    lines[key] = FormatSet(set);
    const std::string temporary = file + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [name, text] : lines)
            out << name << '\t' << text << '\n';
        if (!out.flush()) {
            error = "cannot write " + temporary + ": " + strerror(errno);
            return false;
        }
    }
    if (std::rename(temporary.c_str(), file.c_str()) != 0) {
        error = "cannot replace " + file + ": " + strerror(errno);
        return false;
    }
    return true;
}
