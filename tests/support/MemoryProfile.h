#pragma once

#include "doc/IProfile.h"

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A profile held in memory that records every write in order.
class CMemoryProfile : public IProfile
{
public:
    std::string GetProfileString(const std::string& strSection, const std::string& strKey,
                                 const std::string& strDefault) override
    {
        const auto it = m_Values.find({strSection, strKey});
        return it == m_Values.end() ? strDefault : it->second;
    }
    int GetProfileInt(const std::string& strSection, const std::string& strKey, int nDefault) override
    {
        const auto it = m_Values.find({strSection, strKey});
        return it == m_Values.end() ? nDefault : std::atoi(it->second.c_str());
    }
    void WriteProfileString(const std::string& strSection, const std::string& strKey,
                            const std::string& strValue) override
    {
        m_Values[{strSection, strKey}] = strValue;
        m_Writes.push_back(strSection + "/" + strKey);
    }
    void WriteProfileInt(const std::string& strSection, const std::string& strKey, int nValue) override
    {
        WriteProfileString(strSection, strKey, std::to_string(nValue));
    }

    void Set(const std::string& strSection, const std::string& strKey, const std::string& strValue)
    {
        m_Values[{strSection, strKey}] = strValue;
    }
    bool Has(const std::string& strSection, const std::string& strKey) const
    {
        return m_Values.count({strSection, strKey}) != 0;
    }

    std::map<std::pair<std::string, std::string>, std::string> m_Values;
    std::vector<std::string> m_Writes; // "Section/Key", in the order written
};
