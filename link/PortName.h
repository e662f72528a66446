#pragma once

#include <string>

// The names the operator gives ports, and the devices they stand for.
namespace PortName
{
// The simulated port; matched exactly, letter case included.
inline constexpr char kDummy[] = "DUMMY";

// "COMn" (n >= 1) is /dev/ttyS<n-1>; any other name is the path of the device itself.
std::string GetDevicePath(const std::string& strName);
} // namespace PortName
