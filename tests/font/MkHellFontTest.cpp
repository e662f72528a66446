#include "FontScratchTest.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace
{
const std::string kBlankRows = "......\n......\n......\n......\n......\n......\n......\n"
                               "......\n......\n......\n......\n......\n";

struct SRun
{
    int nExit = -1;
    std::string strError;
};

class MkHellFontTest : public FontScratchTest
{
protected:
    SRun Generate(const std::string& strSource)
    {
        const std::string strSrc = WriteText("font.txt", strSource);
        const std::string strCmd = std::string("'") + SKRIVEL_MKHELLFONT + "' '" + strSrc + "' '" +
                                   PathOf("font.hlf") + "' 2>'" + PathOf("errors.txt") + "'";
        const int nStatus = std::system(strCmd.c_str());
        SRun run;
        run.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
        std::ifstream in(PathOf("errors.txt"));
        run.strError.assign(std::istreambuf_iterator<char>(in), {});
        return run;
    }

    std::vector<std::uint8_t> ReadFont() const
    {
        std::ifstream in(PathOf("font.hlf"), std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
};
} // namespace

TEST_F(MkHellFontTest, TopLineIsRowThirteenAndLeftCharacterColumnZero)
{
    const SRun run = Generate("; a comment\n"
                              "\n"
                              "code 65 A\n"
                              "#....#\n" + // row 13
                              kBlankRows.substr(0, 7 * 10) +
                              "..#...  \n" // row 2, trailing blanks
                              "......\n"
                              "#.....\r\n" // row 0
                              "code 255 last\n" +
                              kBlankRows + "......\n.....#\n");
    ASSERT_EQ(run.nExit, 0) << run.strError;
    const std::vector<std::uint8_t> font = ReadFont();
    ASSERT_EQ(font.size(), 21504u);
    std::vector<std::uint8_t> expected(21504, 0);
    expected[65 * 84 + 0 * 14 + 13] = 1;
    expected[65 * 84 + 5 * 14 + 13] = 1;
    expected[65 * 84 + 2 * 14 + 2] = 1;
    expected[65 * 84 + 0 * 14 + 0] = 1;
    expected[255 * 84 + 5 * 14 + 0] = 1;
    EXPECT_EQ(font, expected);
}

TEST_F(MkHellFontTest, MalformedSourceNamesTheLine)
{
    const std::string kGlyph = "code 66\n" + kBlankRows + "......\n......\n"; // lines 1..15
    struct SCase
    {
        std::string strSource;
        std::string strLine;
        std::string strWhat;
    };
    const SCase cases[] = {
        {kGlyph + "code 67\n......\n.....\n", ":18:", "wide"},
        {kGlyph + "code 67\n......\n.......\n", ":18:", "wide"},
        {kGlyph + "code 67\n" + kBlankRows + "\ncode 68\n", ":16:", "12 rows"},
        {kGlyph + "code 67\n" + kBlankRows + "......\n......\n......\n", ":31:", "more than 14"},
        {kGlyph + "code 67\n" + kBlankRows + "......\n", ":16:", "13 rows"},
        {kGlyph + "\n; again\ncode 66 B\n", ":18:", "duplicate code 66 (first drawn at line 1)"},
        {kGlyph + "code 256\n", ":16:", "out of range"},
        {kGlyph + "code -1\n", ":16:", "out of range"},
        {kGlyph + "code x\n", ":16:", "code N"},
        {kGlyph + "code 67\n..o...\n", ":17:", "'o'"},
        {"##....\n", ":1:", "before the first"},
    };
    for (const SCase& c : cases)
    {
        std::filesystem::remove(PathOf("font.hlf"));
        const SRun run = Generate(c.strSource);
        EXPECT_NE(run.nExit, 0) << c.strSource;
        EXPECT_NE(run.strError.find("font.txt" + c.strLine), std::string::npos) << run.strError;
        EXPECT_NE(run.strError.find(c.strWhat), std::string::npos) << run.strError;
        EXPECT_FALSE(std::filesystem::exists(PathOf("font.hlf"))) << "no font from a faulty source";
    }
}

TEST_F(MkHellFontTest, UnreadableSourceOrUnwritableOutputFails)
{
    const std::string strCmd = std::string("'") + SKRIVEL_MKHELLFONT + "' '" + PathOf("none.txt") + "' '" +
                               PathOf("out.hlf") + "' 2>/dev/null";
    EXPECT_NE(std::system(strCmd.c_str()), 0);
    const std::string strSrc = WriteText("ok.txt", "code 1\n" + kBlankRows + "......\n......\n");
    const std::string strCmd2 = std::string("'") + SKRIVEL_MKHELLFONT + "' '" + strSrc + "' '" +
                                PathOf("no/such/dir/out.hlf") + "' 2>/dev/null";
    EXPECT_NE(std::system(strCmd2.c_str()), 0);
}
