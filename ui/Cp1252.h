#pragma once

namespace Cp1252
{
// The byte the engine sends for one character of the transmit text: its Windows-1252 code
// (Latin-1 for U+00A0..U+00FF, the typographic marks of 0x80..0x9F such as the euro sign and
// curly quotes), 13 for a paragraph or line break, and '?' for a character with no such code.
int XmitCode(char32_t nCodePoint);

// The character of a Windows-1252 code: the typographic marks at 0x80..0x9F, Latin-1 elsewhere.
// The five codes Windows-1252 leaves unassigned stand for themselves, so no byte read is lost.
char32_t CodePoint(unsigned char nCode);
} // namespace Cp1252
