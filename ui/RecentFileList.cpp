#include "ui/RecentFileList.h"

#include "doc/ProfileSettings.h"

#include <algorithm>
#include <filesystem>

namespace
{
// The path in the form it is kept, so that two spellings of one file make one entry.
std::string Normalised(const std::string& strPath)
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(strPath, error);
    return error ? strPath : path.lexically_normal().string();
}
} // namespace

CRecentFileList::CRecentFileList(IProfile& profile) : m_Profile(profile)
{
    for (int i = 0; i < kSize; ++i)
    {
        std::string strPath = ProfileSettings::Read(m_Profile, ProfileSettings::kRecentFiles, i);
        if (!strPath.empty())
            m_Files.push_back(std::move(strPath));
    }
}

void CRecentFileList::Add(const std::string& strPath)
{
    const std::string strEntry = Normalised(strPath);
    std::erase(m_Files, strEntry);
    m_Files.insert(m_Files.begin(), strEntry);
    if (m_Files.size() > kSize)
        m_Files.resize(kSize);
    Write();
}

void CRecentFileList::Remove(const std::string& strPath)
{
    if (std::erase(m_Files, Normalised(strPath)) != 0)
        Write();
}

void CRecentFileList::Write()
{
    for (int i = 0; i < kSize; ++i)
        ProfileSettings::Write(m_Profile, ProfileSettings::kRecentFiles, i,
                               i < GetCount() ? m_Files[i] : std::string());
}
