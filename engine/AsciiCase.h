#pragma once

// Upper case of a character code without the locale: only a..z become A..Z. The C library's
// toupper follows the operator's locale, and under a Turkish one "i" stays "i" (or becomes a
// dotted capital), which the Hell font and the Morse table do not know.
namespace AsciiCase
{
constexpr int ToUpper(int nCode)
{
    return nCode >= 'a' && nCode <= 'z' ? nCode - 'a' + 'A' : nCode;
}
} // namespace AsciiCase
