#include "engine/HellFont.h"

#include "engine/Archive.h"
#include "engine/RegularFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

namespace
{
// Whether any visible character (codes 33 and up, but for DEL and the no-break space) has a
// marked pixel.
bool DrawsText(const std::array<std::uint8_t, CHellFont::kFileSize>& table)
{
    for (int nCode = '!'; nCode < CHellFont::kGlyphs; ++nCode)
    {
        if (nCode == 0x7F || nCode == 0xA0)
            continue;
        const auto itGlyph = table.begin() + nCode * CHellFont::kGlyphBytes;
        if (std::any_of(itGlyph, itGlyph + CHellFont::kGlyphBytes, [](std::uint8_t n) { return n != 0; }))
            return true;
    }
    return false;
}

bool IsFile(const std::string& strPath)
{
    struct stat st
    {
    };
    return ::stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
} // namespace

bool CHellFont::Load(const std::string& strPath)
{
    int fd = -1;
    std::uint64_t nSize = 0;
    if (RegularFile::OpenForReading(strPath, fd, nSize) != 0)
        return false;
    // Read into a copy first, so a read error or a blank font leaves the table as it was.
    std::array<std::uint8_t, kFileSize> table = m_HellFont;
    int nError = 0;
    {
        CArchive ar(fd, CArchive::Mode::Load);
        ar.Read(table.data(), kFileSize);
        nError = ar.GetError();
    }
    ::close(fd);
    if (nError != 0 || !DrawsText(table))
        return false;
    m_HellFont = table;
    return true;
}

std::string CHellFont::Resolve(const std::string& strName, const std::vector<std::string>& dataDirs)
{
    if (strName.find('/') != std::string::npos || IsFile(strName))
        return strName;
    for (const std::string& strDir : dataDirs)
    {
        const std::string strPath = strDir + "/" + strName;
        if (IsFile(strPath))
            return strPath;
    }
    return strName;
}

std::vector<std::string> CHellFont::GetDataDirs()
{
    std::vector<std::string> dirs;
    char szExe[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", szExe, sizeof szExe - 1);
    if (n > 0)
    {
        const std::string strExe(szExe, static_cast<std::size_t>(n));
        const std::string strBinDir = strExe.substr(0, strExe.rfind('/'));
        dirs.push_back(strBinDir);
        dirs.push_back(strBinDir + "/../share/skrivel");
    }
    dirs.push_back(SKRIVEL_DATA_DIR);
    return dirs;
}

bool CHellFont::GetGlyphPixel(int nCode, int nColumn, int nRow) const
{
    if (nCode == 0 || nCode == 9 || nCode == 10 || nCode == 13)
        nCode = ' ';
    if (nCode < 0 || nCode >= kGlyphs || nColumn < 0 || nColumn >= kColumns || nRow < 0 || nRow >= kRows)
        return false;
    return m_HellFont[static_cast<std::size_t>(nCode) * kGlyphBytes + nColumn * kRows + nRow] != 0;
}
