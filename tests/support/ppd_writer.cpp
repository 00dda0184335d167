#include "ppd_writer.h"

#include <fstream>
#include <stdexcept>

void WritePpd(const std::string& path, const std::vector<PpdOption>& options)
{
    std::ofstream ppd(path);
    if (!ppd)
        throw std::runtime_error("cannot create " + path);
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
}
