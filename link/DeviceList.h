#pragma once

#include <string>
#include <vector>

// A device the operator may choose: its path, and the name to show for it.
struct CDeviceEntry
{
    std::string m_strPath;
    std::string m_strLabel;

    bool operator==(const CDeviceEntry&) const = default;
};

// The devices present for a port or a PTT line. strRoot stands for the file system's root (tests
// give a folder of their own).
namespace DeviceList
{
// The serial devices: those named under /dev/serial/by-id (kept by that name, which stays the
// same when the adapter is plugged in again) with their makers' names, then the other
// /dev/ttyUSB* and /dev/ttyACM*, then the /dev/ttyS* that have a port behind them.
std::vector<CDeviceEntry> GetSerialPorts(const std::string& strRoot = "");
// The USB HID devices (/dev/hidraw*), such as a CM108 sound card's, with their names.
std::vector<CDeviceEntry> GetHidDevices(const std::string& strRoot = "");
} // namespace DeviceList
