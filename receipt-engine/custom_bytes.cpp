#include "custom_bytes.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "trace.h"

namespace {

constexpr size_t MAX_SIZE = 1024;  // bytes of one custom value at most
constexpr size_t PREFIX_LENGTH = sizeof CUSTOM_PREFIX - 1;

bool AllHexDigits(const char* begin, const char* end)
{
    for (const char* c = begin; c < end; ++c) {
        if (!isxdigit(static_cast<unsigned char>(*c)))
            return false;
    }
    return true;
}

// A token as written: \x and one or two hexadecimal digits, which are all
// that the number was read from.
bool IsWholeToken(const char* token, const char* digitsEnd)
{
    const long digits = digitsEnd - (token + 2);
    return token[0] == '\\' && token[1] == 'x' && digits >= 1 && digits <= 2 && AllHexDigits(token + 2, digitsEnd);
}

}  // namespace

std::optional<CustomBytes> ReadCustomBytes(const std::string& value)
{
    if (strstr(value.c_str(), CUSTOM_PREFIX) == nullptr)
        return std::nullopt;
    CustomBytes custom;
    custom.textLength = value.size() >= PREFIX_LENGTH ? value.size() - PREFIX_LENGTH : 0;
    bool wellFormed = value.compare(0, PREFIX_LENGTH, CUSTOM_PREFIX) == 0;
    const char* szTemp = value.c_str() + PREFIX_LENGTH;
    const char* readTo = szTemp;  // the end of what the tokens read so far cover
    while (custom.bytes.size() < MAX_SIZE && strnlen(szTemp, 3) == 3) {
        const char* digits = szTemp + 2;
        char* end = nullptr;
        // strtoul with base 16 reads exactly what scanf's %x reads.
        const unsigned long number = strtoul(digits, &end, 16);
        if (end == digits)
            break;
        custom.bytes.push_back(static_cast<unsigned char>(number & 0xFF));
        wellFormed = wellFormed && readTo == szTemp && IsWholeToken(szTemp, end);
        readTo = end;

        const char* temp = strchr(digits, 'x');
        if (temp == nullptr)
            break;
        const long lTemp = temp - szTemp;
        szTemp += (lTemp == 4) ? 3 : 4;
        KORLALog("long size is %ld\n", lTemp);
    }
    custom.wellFormed = wellFormed && *readTo == '\0';
    return custom;
}
