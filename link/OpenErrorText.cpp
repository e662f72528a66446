#include "link/OpenErrorText.h"

#include "link/SerialDevice.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

namespace
{
// The name in a user or group entry, looked up by a getpwuid_r-like function; empty if unknown.
template <class TEntry, class TId, class TLookup>
std::string LookUpName(TId nId, TLookup pfnLookup, char* TEntry::*pName)
{
    TEntry entry{};
    TEntry* pFound = nullptr;
    std::vector<char> buffer(4096);
    while (pfnLookup(nId, &entry, buffer.data(), buffer.size(), &pFound) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return pFound ? pFound->*pName : std::string();
}

std::string OwnerOf(const std::string& strPath)
{
    struct stat info
    {
    };
    if (stat(strPath.c_str(), &info) != 0)
        return "unknown";
    const std::string strName = LookUpName<passwd>(info.st_uid, getpwuid_r, &passwd::pw_name);
    return strName.empty() ? std::to_string(info.st_uid) : strName;
}

std::string PermissionHint(const std::string& strPath)
{
    const std::string strGroup = OpenErrorText::GetOwningGroup(strPath);
    if (strGroup.empty() || strGroup == "root")
        return " Ask the administrator for access to the device.";
    return " Add your user to the group \"" + strGroup + "\", which owns the device, then log in again.";
}
} // namespace

std::string OpenErrorText::GetOwningGroup(const std::string& strPath)
{
    struct stat info
    {
    };
    if (stat(strPath.c_str(), &info) != 0)
        return {};
    return LookUpName<group>(info.st_gid, getgrgid_r, &group::gr_name);
}

std::string OpenErrorText::For(int nError, const std::string& strPath)
{
    if (nError == SerialDevice::kOwnedByAnotherUser)
        return strPath + " belongs to another user (" + OwnerOf(strPath) +
               "): it is not your board, and Skrivel leaves it alone.";
    if (nError == SerialDevice::kControllingTerminal)
        return strPath + " is the terminal of a running program, not a board: Skrivel leaves it alone.";
    const std::string strReason = " (" + std::string(std::strerror(nError)) + ").";
    switch (nError)
    {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
        return "There is no device " + strPath + strReason;
    case EACCES:
    case EPERM:
        return "You are not allowed to use " + strPath + strReason + PermissionHint(strPath);
    case EBUSY:
    case EWOULDBLOCK:
        return "Another program is using " + strPath + strReason;
    case ENOTTY:
        return strPath + " is not a serial device" + strReason;
    case EIO:
        return strPath + " is not a working serial port" + strReason;
    default:
        return "Cannot open " + strPath + strReason;
    }
}
