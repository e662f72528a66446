#include "rig/RigSettings.h"

#include <array>
#include <utility>

namespace
{
constexpr std::array<std::pair<ERigPtt, const char*>, 6> kNames{{
    {ERigPtt::None, "NONE"},
    {ERigPtt::Cat, "CAT"},
    {ERigPtt::Net, "NET"},
    {ERigPtt::Rts, "RTS"},
    {ERigPtt::Dtr, "DTR"},
    {ERigPtt::Cm108, "CM108"},
}};
} // namespace

const char* RigPtt::GetName(ERigPtt nPtt)
{
    for (const auto& [nKind, pszName] : kNames)
        if (nKind == nPtt)
            return pszName;
    return kNames.front().second;
}

bool RigPtt::FromName(const std::string& strName, ERigPtt& nPtt)
{
    for (const auto& [nKind, pszName] : kNames)
        if (strName == pszName)
        {
            nPtt = nKind;
            return true;
        }
    return false;
}
