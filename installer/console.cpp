#include "console.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

// Longer answers are cut; no number needs more.
constexpr std::size_t MAX_ANSWER = 64;

// True after a word read that stopped before the end of its line.
bool g_bInsideLine = false;

bool IsBlank(int ch)
{
    return ch != EOF && ch != '\n' && std::isspace(ch);
}

// Reads up to and including the next line break into *pstrLine, without
// it, cut to MAX_ANSWER characters; *pbCut tells whether it was. Returns
// false at the end of input with nothing read.
bool ReadRestOfLine(std::string* pstrLine, bool* pbCut)
{
    pstrLine->clear();
    *pbCut = false;
    int ch = std::getchar();
    if (ch == EOF)
        return false;
    for (; ch != EOF && ch != '\n'; ch = std::getchar()) {
        if (pstrLine->size() < MAX_ANSWER)
            *pstrLine += static_cast<char>(ch);
        else
            *pbCut = true;
    }
    return true;
}

std::string Trimmed(const std::string& strText)
{
    const auto isBlank = [](char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; };
    const auto first = std::find_if_not(strText.begin(), strText.end(), isBlank);
    const auto last = std::find_if_not(strText.rbegin(), strText.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

// A decimal integer with an optional sign and nothing else, clamped to the
// range of int.
bool ParseWholeNumber(const std::string& strText, int* pnValue)
{
    const std::size_t nDigitsStart = !strText.empty() && (strText[0] == '+' || strText[0] == '-') ? 1 : 0;
    if (nDigitsStart == strText.size())
        return false;
    for (std::size_t i = nDigitsStart; i < strText.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(strText[i])))
            return false;
    }
    const long long nValue = std::strtoll(strText.c_str(), nullptr, 10);
    *pnValue = static_cast<int>(std::clamp<long long>(nValue, INT_MIN, INT_MAX));
    return true;
}

Answer Classify(const std::string& strLine, bool bCut)
{
    Answer answer;
    answer.strText = Trimmed(strLine);
    if (answer.strText.empty() && !bCut)
        answer.eKind = ANSWER_EMPTY;
    else if (!bCut && ParseWholeNumber(answer.strText, &answer.nValue))
        answer.eKind = ANSWER_NUMBER;
    else
        answer.eKind = ANSWER_WORD;
    return answer;
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

Answer ReadAnswer()
{
    std::string strLine;
    bool bCut = false;
    bool bRead = ReadRestOfLine(&strLine, &bCut);
    if (bRead && g_bInsideLine && Trimmed(strLine).empty() && !bCut)
        bRead = ReadRestOfLine(&strLine, &bCut);
    g_bInsideLine = false;
    return bRead ? Classify(strLine, bCut) : Answer{};
}

bool ReadChoice(int* pnValue)
{
    Answer answer = ReadAnswer();
    while (answer.eKind == ANSWER_EMPTY)
        answer = ReadAnswer();
    if (answer.eKind != ANSWER_NUMBER)
        return false;
    *pnValue = answer.nValue;
    return true;
}

void ReadWord(char* pszWord, std::size_t nSize)
{
    std::size_t nLength = 0;
    int ch = std::getchar();
    while (ch != EOF && std::isspace(ch))
        ch = std::getchar();
    for (; ch != EOF && !std::isspace(ch); ch = std::getchar()) {
        if (nLength + 1 < nSize)
            pszWord[nLength++] = static_cast<char>(ch);
    }
    pszWord[nLength] = '\0';
    // The character that ended the word is taken; a blank leaves the rest of
    // the line to the next answer.
    g_bInsideLine = IsBlank(ch);
}

void RunShell(const char* pszCommand)
{
    std::fflush(stdout);
    [[maybe_unused]] int nStatus = std::system(pszCommand);
}
