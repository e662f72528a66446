#include "doc/ProfileSettings.h"

#include "doc/IProfile.h"

namespace
{
std::string KeyOf(const ProfileSettings::STextList& setting, int nIndex)
{
    return setting.pszKeyPrefix + std::to_string(setting.nFirst + nIndex);
}
} // namespace

bool ProfileSettings::Read(IProfile& profile, const SFlag& setting)
{
    return profile.GetProfileInt(setting.pszSection, setting.pszKey, setting.bDefault ? 1 : 0) != 0;
}

void ProfileSettings::Write(IProfile& profile, const SFlag& setting, bool bValue)
{
    profile.WriteProfileInt(setting.pszSection, setting.pszKey, bValue ? 1 : 0);
}

int ProfileSettings::Read(IProfile& profile, const SInt& setting)
{
    return profile.GetProfileInt(setting.pszSection, setting.pszKey, setting.nDefault);
}

void ProfileSettings::Write(IProfile& profile, const SInt& setting, int nValue)
{
    profile.WriteProfileInt(setting.pszSection, setting.pszKey, nValue);
}

std::string ProfileSettings::Read(IProfile& profile, const SText& setting)
{
    return profile.GetProfileString(setting.pszSection, setting.pszKey, setting.pszDefault);
}

void ProfileSettings::Write(IProfile& profile, const SText& setting, const std::string& strValue)
{
    profile.WriteProfileString(setting.pszSection, setting.pszKey, strValue);
}

std::string ProfileSettings::Read(IProfile& profile, const STextList& setting, int nIndex)
{
    return profile.GetProfileString(setting.pszSection, KeyOf(setting, nIndex), "");
}

void ProfileSettings::Write(IProfile& profile, const STextList& setting, int nIndex, const std::string& strValue)
{
    profile.WriteProfileString(setting.pszSection, KeyOf(setting, nIndex), strValue);
}
