// mkhellfont: turns the readable glyph source (res/hellfont.txt) into the binary Hell font.
//
// Usage: mkhellfont <source.txt> <font.hlf>
//
// The source holds glyphs one after another. A glyph starts with a header line "code N ..." (N
// decimal, 0..255; the rest of the line is a free label) followed by 14 picture lines of 6
// characters, '#' marked and '.' blank, the top line being row 13 and the bottom line row 0.
// Lines starting with ';' and empty lines are ignored; trailing blanks are allowed. Codes the
// source does not draw stay blank. The output is 256 glyphs of 84 bytes, byte c*84 + k*14 + r
// holding column k, row r of code c (1 marked, 0 blank).

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr int kGlyphs = 256;
constexpr int kColumns = 6;
constexpr int kRows = 14;
constexpr int kGlyphBytes = kColumns * kRows;

// A fault in the source: the line it is on and what is wrong; an empty text means no fault.
struct CSourceError
{
    int m_nLine = 0;
    std::string m_strText;
};

class CFontBuilder
{
public:
    // Takes one line of the source.
    CSourceError AddLine(int nLine, std::string str)
    {
        while (!str.empty() && (str.back() == ' ' || str.back() == '\t' || str.back() == '\r'))
            str.pop_back();
        if (str.empty() || str.front() == ';')
            return {};
        if (str.rfind("code", 0) == 0)
            return StartGlyph(nLine, str);
        return AddRow(nLine, str);
    }

    // Checks that the last glyph is complete.
    CSourceError Finish() { return CloseGlyph(); }

    const std::vector<std::uint8_t>& GetTable() const { return m_Table; }

private:
    CSourceError StartGlyph(int nLine, const std::string& str)
    {
        if (CSourceError e = CloseGlyph(); !e.m_strText.empty())
            return e;
        std::istringstream in(str.substr(4));
        long nCode = -1;
        if (!(in >> nCode) || (!in.eof() && !std::isspace(in.peek())))
            return CSourceError{nLine, "expected \"code N\" with a decimal code"};
        if (nCode < 0 || nCode >= kGlyphs)
            return CSourceError{nLine, "code " + std::to_string(nCode) + " out of range 0..255"};
        if (m_FirstLine[nCode] != 0)
            return CSourceError{nLine, "duplicate code " + std::to_string(nCode) + " (first drawn at line " +
                                           std::to_string(m_FirstLine[nCode]) + ")"};
        m_FirstLine[nCode] = nLine;
        m_nCode = static_cast<int>(nCode);
        m_nHeaderLine = nLine;
        m_nRowsSeen = 0;
        return {};
    }

    CSourceError AddRow(int nLine, const std::string& str)
    {
        if (m_nCode < 0)
            return CSourceError{nLine, "picture line before the first \"code N\" header"};
        if (m_nRowsSeen == kRows)
            return CSourceError{nLine, "code " + std::to_string(m_nCode) + " has more than 14 rows"};
        if (str.size() != kColumns)
            return CSourceError{nLine,
                                "row is " + std::to_string(str.size()) + " characters wide, expected 6"};
        const int nRow = kRows - 1 - m_nRowsSeen;
        for (int k = 0; k < kColumns; ++k)
        {
            if (str[k] != '#' && str[k] != '.')
                return CSourceError{nLine,
                                    std::string("unexpected character '") + str[k] + "', use '#' or '.'"};
            m_Table[m_nCode * kGlyphBytes + k * kRows + nRow] = str[k] == '#' ? 1 : 0;
        }
        ++m_nRowsSeen;
        return {};
    }

    CSourceError CloseGlyph()
    {
        if (m_nCode >= 0 && m_nRowsSeen != kRows)
            return CSourceError{m_nHeaderLine, "code " + std::to_string(m_nCode) + " has " +
                                                   std::to_string(m_nRowsSeen) + " rows, expected 14"};
        m_nCode = -1;
        return {};
    }

    std::vector<std::uint8_t> m_Table = std::vector<std::uint8_t>(kGlyphs * kGlyphBytes, 0);
    std::array<int, kGlyphs> m_FirstLine{};
    int m_nCode = -1;
    int m_nHeaderLine = 0;
    int m_nRowsSeen = 0;
};
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: mkhellfont <source.txt> <font.hlf>\n";
        return 2;
    }
    const std::string strSource = argv[1];
    const std::string strOutput = argv[2];
    std::ifstream in(strSource);
    if (!in)
    {
        std::cerr << "mkhellfont: cannot read " << strSource << "\n";
        return 1;
    }
    CFontBuilder builder;
    CSourceError error;
    int nLine = 0;
    for (std::string str; error.m_strText.empty() && std::getline(in, str);)
        error = builder.AddLine(++nLine, str);
    if (error.m_strText.empty() && !in.bad())
        error = builder.Finish();
    if (!error.m_strText.empty())
    {
        std::cerr << strSource << ":" << error.m_nLine << ": " << error.m_strText << "\n";
        return 1;
    }
    if (in.bad())
    {
        std::cerr << "mkhellfont: error reading " << strSource << "\n";
        return 1;
    }
    std::ofstream out(strOutput, std::ios::binary | std::ios::trunc);
    const std::vector<std::uint8_t>& table = builder.GetTable();
    out.write(reinterpret_cast<const char*>(table.data()), static_cast<std::streamsize>(table.size()));
    out.close();
    if (!out)
    {
        std::cerr << "mkhellfont: cannot write " << strOutput << "\n";
        std::remove(strOutput.c_str());
        return 1;
    }
    return 0;
}
