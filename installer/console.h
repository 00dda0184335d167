// Console dialogue: every text goes to standard output, answers come from
// standard input.
#pragma once

#include <cstddef>

// Writes the text followed by one line break.
void WriteLine(const char* pszText);
// Writes the text alone, leaving the cursor after it.
void WritePrompt(const char* pszText);
// Reads a decimal integer, skipping leading white space. On success stores it
// and returns true; otherwise leaves *pnValue and the unread input unchanged.
bool ReadNumber(int* pnValue);
// Reads the answer to a prompt that offers a default, as a decimal integer.
// The answer is the rest of the line that the previous answer was on, when
// that holds more than blanks (answers typed on one line are taken in turn),
// otherwise the next line, so that Enter alone answers. On a number stores
// it, clamped to the range of int, and returns true; on an empty answer, one
// that is not a number, or the end of input leaves *pnValue and returns false.
bool ReadNumberOrDefault(int* pnValue);
// Reads one word of at most nSize - 1 characters into pszWord; the rest of a
// longer word is discarded so that it is not taken as the next answer.
void ReadWord(char* pszWord, std::size_t nSize);
// Runs a command line through the shell and waits for it; its exit status is
// not examined. Pending output is flushed first so that the command's own
// output appears after ours.
void RunShell(const char* pszCommand);
