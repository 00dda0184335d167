#include "console.h"

#include <cstdio>
#include <cstdlib>
#include <string>

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
