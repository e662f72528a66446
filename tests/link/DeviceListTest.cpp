// The devices offered for a port or a PTT line, from a device tree of the test's own: adapters by
// their stable by-id names and makers' names and not twice, built-in ports only where there is
// one, CM108 sound cards by their HID names.

#include "link/DeviceList.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace
{
class DeviceListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Root = fs::temp_directory_path() / ("skrivel-devices-" + std::to_string(::getpid()));
        fs::remove_all(m_Root);
        fs::create_directories(m_Root / "dev/serial/by-id");
    }
    void TearDown() override { fs::remove_all(m_Root); }

    void Write(const fs::path& path, const std::string& strText = {})
    {
        fs::create_directories((m_Root / path).parent_path());
        std::ofstream(m_Root / path) << strText;
    }

    fs::path m_Root;
};
} // namespace

TEST_F(DeviceListTest, SerialPortsByNameOnceEachAndOnlyThoseThere)
{
    for (const char* pszName :
         {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "ttyS2", "tty0", "console"})
        Write(fs::path("dev") / pszName);
    fs::create_symlink("../../ttyUSB2",
                       m_Root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    Write("sys/class/tty/ttyS0/type", "4\n");
    Write("sys/class/tty/ttyS1/type", "0\n"); // a name the kernel keeps for a port that is not there

    const std::vector<CDeviceEntry> expected{
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
         "FTDI FT232R USB UART A50285BI (/dev/ttyUSB2)"},
        {"/dev/ttyUSB10", "/dev/ttyUSB10"},
        {"/dev/ttyACM0", "/dev/ttyACM0"},
        {"/dev/ttyS0", "/dev/ttyS0"},
        {"/dev/ttyS2", "/dev/ttyS2"},
    };
    EXPECT_EQ(DeviceList::GetSerialPorts(m_Root.string()), expected);
}

TEST_F(DeviceListTest, HidDevicesByTheirNames)
{
    Write("dev/hidraw0");
    Write("dev/hidraw1");
    Write("sys/class/hidraw/hidraw1/device/uevent",
          "DRIVER=hid-generic\nHID_NAME=C-Media Electronics Inc. USB Audio Device\n");
    const std::vector<CDeviceEntry> expected{
        {"/dev/hidraw0", "/dev/hidraw0"},
        {"/dev/hidraw1", "C-Media Electronics Inc. USB Audio Device (/dev/hidraw1)"},
    };
    EXPECT_EQ(DeviceList::GetHidDevices(m_Root.string()), expected);
}
