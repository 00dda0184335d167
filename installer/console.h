// Console dialogue: every text goes to standard output, answers come from
// standard input.
#pragma once

#include <cstddef>
#include <string>

// Writes the text followed by one line break.
void WriteLine(const char* pszText);
// Writes the text alone, leaving the cursor after it.
void WritePrompt(const char* pszText);

// What was typed in answer to a prompt.
enum answer_e {
    ANSWER_NUMBER,  // a decimal integer and nothing else; nValue holds it
    ANSWER_EMPTY,   // Enter alone, or blanks
    ANSWER_WORD,    // anything else
    ANSWER_END,     // the end of input
};

struct Answer {
    answer_e eKind = ANSWER_END;
    int nValue = 0;        // clamped to the range of int
    std::string strText;   // without the blanks around it, cut to 64 characters
};

// Reads the answer to a prompt. The answer is the rest of the line that the
// address word was read from, when that holds more than blanks (address and
// port may be typed on one line), otherwise the next line.
Answer ReadAnswer();

// Reads the menu choice: the next line that holds more than blanks must be a
// decimal integer and nothing else ("4.9" is not 4). On such a line stores
// it and returns true; on any other line, or the end of input, returns false.
bool ReadChoice(int* pnValue);

// Reads one word of at most nSize - 1 characters into pszWord, skipping
// white space and line breaks before it; the rest of a longer word is
// discarded so that it is not taken as the next answer. At the end of input
// the word is empty.
void ReadWord(char* pszWord, std::size_t nSize);

// Runs a command line through the shell and waits for it; its exit status is
// not examined. Pending output is flushed first so that the command's own
// output appears after ours.
void RunShell(const char* pszCommand);
