#pragma once

#include "doc/IProfile.h"

#include <memory>

class QSettings;

// The profile over an INI file: skrivel/skrivel.ini in the user's configuration directory
// ($XDG_CONFIG_HOME, by default ~/.config). Values are kept whole, line breaks included.
class CIniProfile : public IProfile
{
public:
    CIniProfile();
    // A profile over the given INI file, for tests and tools.
    explicit CIniProfile(const std::string& strPath);
    ~CIniProfile() override;

    std::string GetProfileString(const std::string& strSection, const std::string& strKey,
                                 const std::string& strDefault) override;
    int GetProfileInt(const std::string& strSection, const std::string& strKey, int nDefault) override;
    void WriteProfileString(const std::string& strSection, const std::string& strKey,
                            const std::string& strValue) override;
    void WriteProfileInt(const std::string& strSection, const std::string& strKey, int nValue) override;

    // Writes what is pending to the file. False, with the reason, when the file cannot be written.
    bool Flush(std::string& strError);
    // Writes what is pending, then takes the values as the file holds them now, edits made by hand
    // while the program runs included.
    void Reload();

private:
    std::unique_ptr<QSettings> m_pSettings;
};
