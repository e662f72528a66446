#include "ui/Cp1252.h"

#include <array>

namespace
{
// Unicode of the codes 0x80..0x9F; 0 where Windows-1252 leaves the code unassigned.
constexpr std::array<char32_t, 32> kHighCodes = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kParagraphSeparator = 0x2029;
constexpr char32_t kLineSeparator = 0x2028;
constexpr int kCarriageReturn = 13;
constexpr int kUnknown = '?';
} // namespace

int Cp1252::XmitCode(char32_t nCodePoint)
{
    if (nCodePoint == kParagraphSeparator || nCodePoint == kLineSeparator)
        return kCarriageReturn;
    if (nCodePoint < 0x80 || (nCodePoint >= 0xA0 && nCodePoint <= 0xFF))
        return static_cast<int>(nCodePoint);
    for (std::size_t i = 0; i < kHighCodes.size(); ++i)
    {
        if (kHighCodes[i] != 0 && kHighCodes[i] == nCodePoint)
            return 0x80 + static_cast<int>(i);
    }
    return kUnknown;
}

char32_t Cp1252::CodePoint(unsigned char nCode)
{
    if (nCode >= 0x80 && nCode < 0xA0 && kHighCodes[nCode - 0x80] != 0)
        return kHighCodes[nCode - 0x80];
    return nCode;
}
