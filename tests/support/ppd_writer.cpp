#include "ppd_writer.h"

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!(file << text) || !file.flush())
        throw std::runtime_error("cannot write " + path);
}

}  // namespace

std::string PpdText(const std::vector<PpdOption>& options)
{
    std::ostringstream ppd;
    ppd << "*PPD-Adobe: \"4.3\"\n"
           "*FormatVersion: \"4.3\"\n"
           "*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n"
           "*LanguageEncoding: ISOLatin1\n"
           "*PCFileName: \"TEST.PPD\"\n"
           "*Manufacturer: \"Test\"\n"
           "*Product: \"(Test)\"\n"
           "*ModelName: \"Test Printer\"\n"
           "*ShortNickName: \"Test Printer\"\n"
           "*NickName: \"Test Printer\"\n"
           "*PSVersion: \"(3010.000) 0\"\n";
    for (const PpdOption& option : options) {
        const std::vector<std::string> choices =
            option.choices.empty() ? std::vector<std::string>{option.defaultChoice} : option.choices;
        ppd << "*OpenUI *" << option.keyword << "/" << option.keyword << ": PickOne\n"
            << "*Default" << option.keyword << ": " << option.defaultChoice << "\n";
        for (const std::string& choice : choices)
            ppd << "*" << option.keyword << " " << choice << "/" << choice << ": \"\"\n";
        ppd << "*CloseUI: *" << option.keyword << "\n";
    }
    return ppd.str();
}

void WritePpd(const std::string& path, const std::vector<PpdOption>& options)
{
    WriteText(path, PpdText(options));
}

const std::vector<PpdOption>& AllOptionsOn()
{
    static const std::vector<PpdOption> options = {
        {"PaperSource", "NoCut"},
        {"ExecutePaperCut", "1"},
        {"LogoPosition", "3"},
        {"TopLogoImage", "1"},
        {"BtmLogoImage", "2"},
        {"CashDrawer", "3"},
        {"FireCashDrawer", "1"},
        {"CashDrawerOpen1", "2"},
        {"CashDrawerOpen2", "2"},
        {"CashDrawer1PulseWidth", "50"},
        {"StartDoc", "Custom.\\x1b\\x40\\x0a", {"None"}},
        {"EndDoc", "Custom.\\x1b\\x61\\x1", {"None"}},
    };
    return options;
}

std::string PpdValue(const std::string& path, const std::string& keyword)
{
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string start = "\n*" + keyword + ": \"";
    const std::size_t begin = text.find(start);
    const std::size_t end = text.find('"', begin + start.size());
    if (begin == std::string::npos || end == std::string::npos)
        return "<no *" + keyword + " in " + path + ">";
    return text.substr(begin + start.size(), end - begin - start.size());
}

void WritePpdWithDefaults(const std::string& path, const std::string& basePath,
                          const std::vector<std::pair<std::string, std::string>>& defaults)
{
    std::ifstream base(basePath, std::ios::binary);
    if (!base)
        throw std::runtime_error("cannot read " + basePath);
    std::map<std::string, std::string> wanted;
    for (const auto& [keyword, value] : defaults)
        wanted["*Default" + keyword + ":"] = value;
    std::string text;
    for (std::string line; std::getline(base, line);) {
        const auto found = wanted.find(line.substr(0, line.find(' ')));
        if (found != wanted.end()) {
            line = found->first + " " + found->second;
            wanted.erase(found);
        }
        text += line + "\n";
    }
    if (!wanted.empty())
        throw std::runtime_error(basePath + " has no line " + wanted.begin()->first);
    WriteText(path, text);
}
