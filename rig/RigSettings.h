#pragma once

#include <string>

// How the transmitter is keyed: not at all (its VOX listens to the audio), by a CAT command to a
// rig model on a serial device, through a rig server on the network (rigctld), by the RTS or DTR
// line of a serial device, or by the GPIO of a CM108 USB sound card.
enum class ERigPtt
{
    None,
    Cat,
    Net,
    Rts,
    Dtr,
    Cm108,
};

// The rig as the operator set it up: the PTT method and what it needs, and the keying's timing,
// which the port that keys it keeps.
struct CRigSettings
{
    // The longest lead or tail time.
    static constexpr int kMaxDelayMs = 2000;

    ERigPtt m_nPtt = ERigPtt::None;
    int m_nModel = 1;         // hamlib's model number, for CAT
    std::string m_strDevice;  // the serial device (CAT, RTS, DTR) or the hidraw device (CM108)
    int m_nSpeed = 0;         // the serial speed for CAT; 0 for the model's own
    std::string m_strAddress; // host:port of the rig server, for NET
    int m_nLeadMs = 50;       // keyed this long before the first tone
    int m_nTailMs = 20;       // and this long after the last

    bool operator==(const CRigSettings&) const = default;
};

// The methods' names in the profile: NONE, CAT, NET, RTS, DTR, CM108.
namespace RigPtt
{
const char* GetName(ERigPtt nPtt);
// False, and nPtt untouched, for a name that is none of them.
bool FromName(const std::string& strName, ERigPtt& nPtt);
} // namespace RigPtt
