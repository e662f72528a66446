#include "link/DeviceList.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace
{
// The names in a folder that start with strPrefix, in natural order (ttyUSB2 before ttyUSB10).
std::vector<std::string> NamesIn(const fs::path& folder, const std::string& strPrefix)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
    {
        const std::string strName = entry.path().filename().string();
        if (strName.starts_with(strPrefix))
            names.push_back(strName);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b)
              { return a.size() != b.size() ? a.size() < b.size() : a < b; });
    return names;
}

std::string FirstLine(const fs::path& file)
{
    std::string strLine;
    std::ifstream stream(file);
    std::getline(stream, strLine);
    return strLine;
}

// "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" is "FTDI FT232R USB UART A50285BI".
std::string FriendlyName(std::string strId)
{
    for (const char* pszBus : {"usb-", "pci-", "platform-"})
        if (strId.starts_with(pszBus))
            strId.erase(0, std::char_traits<char>::length(pszBus));
    if (const std::size_t nInterface = strId.rfind("-if"); nInterface != std::string::npos)
        strId.erase(nInterface);
    std::replace(strId.begin(), strId.end(), '_', ' ');
    return strId;
}

// The device as shown: its path under the root, as seen from the root.
std::string Shown(const std::string& strRoot, const fs::path& path)
{
    const std::string strPath = path.string();
    return strPath.starts_with(strRoot) ? strPath.substr(strRoot.size()) : strPath;
}
} // namespace

std::vector<CDeviceEntry> DeviceList::GetSerialPorts(const std::string& strRoot)
{
    std::vector<CDeviceEntry> devices;
    std::set<fs::path> taken; // the devices that a by-id name stands for
    const fs::path byId = fs::path(strRoot + "/dev/serial/by-id");
    for (const std::string& strId : NamesIn(byId, ""))
    {
        std::error_code error;
        const fs::path device = fs::canonical(byId / strId, error);
        if (error)
            continue;
        taken.insert(device);
        devices.push_back(
            {"/dev/serial/by-id/" + strId, FriendlyName(strId) + " (" + Shown(strRoot, device) + ")"});
    }
    const fs::path dev = fs::path(strRoot + "/dev");
    for (const char* pszPrefix : {"ttyUSB", "ttyACM", "ttyS"})
        for (const std::string& strName : NamesIn(dev, pszPrefix))
        {
            std::error_code error;
            if (taken.count(fs::canonical(dev / strName, error)) != 0)
                continue;
            // A built-in serial port the kernel keeps a name for has type 0 when nothing is there.
            const fs::path type = fs::path(strRoot + "/sys/class/tty") / strName / "type";
            if (std::string_view(pszPrefix) == "ttyS" && fs::exists(type) && FirstLine(type) == "0")
                continue;
            devices.push_back({"/dev/" + strName, "/dev/" + strName});
        }
    return devices;
}

std::vector<CDeviceEntry> DeviceList::GetHidDevices(const std::string& strRoot)
{
    std::vector<CDeviceEntry> devices;
    for (const std::string& strName : NamesIn(fs::path(strRoot + "/dev"), "hidraw"))
    {
        constexpr std::string_view kNameKey = "HID_NAME=";
        std::string strLabel = "/dev/" + strName;
        std::ifstream uevent(fs::path(strRoot + "/sys/class/hidraw") / strName / "device/uevent");
        for (std::string strLine; std::getline(uevent, strLine);)
            if (strLine.starts_with(kNameKey))
                strLabel = strLine.substr(kNameKey.size()) + " (" + strLabel + ")";
        devices.push_back({"/dev/" + strName, strLabel});
    }
    return devices;
}
