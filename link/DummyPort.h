#pragma once

#include "link/IPort.h"
#include "link/PortName.h"

// The simulated port: no device, a slot every millisecond, and a level that echoes the transmit
// items: bright while the last one had the tone bit, dim otherwise, dark before the first.
class CDummyPort : public IPort
{
public:
    const std::string& GetName() const override { return m_strName; }
    bool Open() override { return true; }
    EPortState GetState() const override { return EPortState::Open; }
    int GetDeviceError() const override { return 0; }
    std::string GetDeviceErrorText() const override { return {}; }

    std::uint32_t ReadSlot(std::stop_token stop) override;
    bool CanTransmit() const override { return true; }
    void Transmit(std::uint32_t nItem) override;

private:
    const std::string m_strName{PortName::kDummy};
    std::uint32_t m_nLevel = 0; // the I/O thread's
};
