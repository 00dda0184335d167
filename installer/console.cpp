#include "console.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Longer answers are cut; no number needs more.
constexpr std::size_t MAX_ANSWER = 64;

// Reads up to and including the next line break; returns the line without
// it and without its leading blanks, cut to MAX_ANSWER characters.
std::string ReadRestOfLine()
{
    std::string strLine;
    for (int ch = std::getchar(); ch != EOF && ch != '\n'; ch = std::getchar()) {
        const bool bLeadingBlank = strLine.empty() && std::isspace(ch);
        if (!bLeadingBlank && strLine.size() < MAX_ANSWER)
            strLine += static_cast<char>(ch);
    }
    return strLine;
}

// A decimal integer at the start of the text, as scanf's %d takes it.
bool ParseNumber(const std::string& strText, int* pnValue)
{
    char* pszEnd = nullptr;
    const long nValue = std::strtol(strText.c_str(), &pszEnd, 10);
    if (pszEnd == strText.c_str())
        return false;
    *pnValue = static_cast<int>(std::clamp<long>(nValue, INT_MIN, INT_MAX));
    return true;
}

}  // namespace

void WriteLine(const char* pszText)
{
    std::puts(pszText);
}

void WritePrompt(const char* pszText)
{
    std::fputs(pszText, stdout);
}

bool ReadNumber(int* pnValue)
{
    return std::scanf("%d", pnValue) == 1;
}

bool ReadNumberOrDefault(int* pnValue)
{
    std::string strAnswer = ReadRestOfLine();
    if (strAnswer.empty())
        strAnswer = ReadRestOfLine();
    return ParseNumber(strAnswer, pnValue);
}

void ReadWord(char* pszWord, std::size_t nSize)
{
    pszWord[0] = '\0';
    const std::string strFormat = "%" + std::to_string(nSize - 1) + "s";
    if (std::scanf(strFormat.c_str(), pszWord) == 1) {
        [[maybe_unused]] int nSkipped = std::scanf("%*[^ \t\n\v\f\r]");
    }
}

void RunShell(const char* pszCommand)
{
    std::fflush(stdout);
    [[maybe_unused]] int nStatus = std::system(pszCommand);
}
