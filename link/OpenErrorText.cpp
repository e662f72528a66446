#include "link/OpenErrorText.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <vector>

namespace
{
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
    group entry{};
    group* pFound = nullptr;
    std::vector<char> buffer(4096);
    while (getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &pFound) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return pFound ? pFound->gr_name : std::string();
}

std::string OpenErrorText::For(int nError, const std::string& strPath)
{
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
