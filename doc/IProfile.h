#pragma once

#include <string>

// The application profile: named sections of string and integer values. The document reads its
// settings through this interface and writes them back at program end; the desktop program
// implements it over an INI file, tests over memory.
class IProfile
{
public:
    virtual ~IProfile() = default;

    // A missing key gives the default; a key stored empty gives the empty string.
    virtual std::string GetProfileString(const std::string& strSection, const std::string& strKey,
                                         const std::string& strDefault) = 0;
    // A missing key gives the default; a stored value that is not a number reads as 0.
    virtual int GetProfileInt(const std::string& strSection, const std::string& strKey, int nDefault) = 0;
    virtual void WriteProfileString(const std::string& strSection, const std::string& strKey,
                                    const std::string& strValue) = 0;
    virtual void WriteProfileInt(const std::string& strSection, const std::string& strKey, int nValue) = 0;
};
