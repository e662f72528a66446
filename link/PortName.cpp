#include "link/PortName.h"

#include <algorithm>
#include <cctype>

namespace
{
constexpr char kComPrefix[] = "COM";
constexpr std::size_t kComPrefixLength = sizeof kComPrefix - 1;
// Longer numbers are no port numbers, just odd device names.
constexpr std::size_t kMaxComDigits = 6;

bool IsComPortName(const std::string& strName)
{
    if (strName.compare(0, kComPrefixLength, kComPrefix) != 0)
        return false;
    const std::string_view digits = std::string_view(strName).substr(kComPrefixLength);
    return !digits.empty() && digits.size() <= kMaxComDigits && digits.front() != '0' &&
           std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}
} // namespace

std::string PortName::GetDevicePath(const std::string& strName)
{
    if (!IsComPortName(strName))
        return strName;
    const int nPort = std::stoi(strName.substr(kComPrefixLength));
    return "/dev/ttyS" + std::to_string(nPort - 1);
}
