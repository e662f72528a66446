#pragma once

#include "doc/ProfileSettings.h"

#include <string>
#include <vector>

class IProfile;

// The most recently loaded or saved receive-data files, newest first, at most four, kept in the
// profile's section "Recent File List" under "File1" to "File4".
class CRecentFileList
{
public:
    static constexpr int kSize = ProfileSettings::kRecentFiles.nCount;

    explicit CRecentFileList(IProfile& profile);

    // Puts the file at the top, removing an older entry for the same file.
    void Add(const std::string& strPath);
    // Takes the file out of the list, wherever it stands.
    void Remove(const std::string& strPath);
    int GetCount() const { return static_cast<int>(m_Files.size()); }
    const std::string& Get(int nIndex) const { return m_Files[nIndex]; }

private:
    void Write();

    IProfile& m_Profile;
    std::vector<std::string> m_Files;
};
