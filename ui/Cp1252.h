#pragma once

namespace Cp1252
{
// The byte the engine sends for one character of the transmit text: its Windows-1252 code
// (Latin-1 for U+00A0..U+00FF, the typographic marks of 0x80..0x9F such as the euro sign and
// curly quotes), 13 for a paragraph or line break, and '?' for a character with no such code.
int XmitCode(char32_t nCodePoint);
} // namespace Cp1252
