#include "link/SerialPort.h"

#include "link/OpenErrorText.h"
#include "link/PortName.h"

namespace
{
// How often a device that is missing is looked for again.
constexpr auto kReopenInterval = std::chrono::seconds(1);
} // namespace

CSerialPort::CSerialPort(std::string strName)
    : m_strName(std::move(strName)), m_strPath(PortName::GetDevicePath(m_strName))
{
}

CSerialPort::~CSerialPort()
{
    if (m_hDevice != SerialDevice::kInvalid)
        SerialDevice::Close(m_hDevice);
}

bool CSerialPort::Open()
{
    // Open refuses what is not the board, whatever the name stands for by now.
    int nError = 0;
    m_hDevice = SerialDevice::Open(m_strPath, nError);
    m_nDeviceError = m_hDevice == SerialDevice::kInvalid ? nError : 0;
    if (m_hDevice == SerialDevice::kInvalid)
        return false;
    m_nState = EPortState::Open;
    return true;
}

std::string CSerialPort::GetDeviceErrorText() const
{
    const int nError = m_nDeviceError;
    return nError == 0 ? std::string() : OpenErrorText::For(nError, m_strPath);
}

std::uint32_t CSerialPort::ReadSlot(std::stop_token stop)
{
    // A slot without a byte lasts the full time-out even when the read gives up early (a device
    // that has gone away reads as empty at once): a lost board costs no CPU and looks silent.
    const auto tSlotEnd = std::chrono::steady_clock::now() + SerialDevice::kReadTimeout;
    if (m_hDevice != SerialDevice::kInvalid || ReopenWhenDue())
    {
        std::uint8_t nByte = 0;
        switch (SerialDevice::ReadByte(m_hDevice, nByte))
        {
        case SerialDevice::ReadResult::Byte:
            return nByte;
        case SerialDevice::ReadResult::Lost:
            SerialDevice::Close(m_hDevice);
            m_hDevice = SerialDevice::kInvalid;
            m_nState = EPortState::Lost;
            m_tNextReopen = std::chrono::steady_clock::now() + kReopenInterval;
            break;
        case SerialDevice::ReadResult::Nothing:
            break;
        }
    }
    std::unique_lock lock(m_WakeLock);
    m_WakeSignal.wait_until(lock, stop, tSlotEnd, [] { return false; });
    return 0;
}

bool CSerialPort::CanTransmit() const
{
    return m_hDevice != SerialDevice::kInvalid;
}

void CSerialPort::Transmit(std::uint32_t nItem)
{
    SerialDevice::WriteByte(m_hDevice, static_cast<std::uint8_t>(nItem & 0xFF));
}

bool CSerialPort::ReopenWhenDue()
{
    const auto tNow = std::chrono::steady_clock::now();
    if (tNow < m_tNextReopen)
        return false;
    m_tNextReopen = tNow + kReopenInterval;
    return Open();
}
