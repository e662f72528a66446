#pragma once

#include "rig/RigSettings.h"

#include <string>

struct s_rig;

// One rig opened through hamlib as the settings say: a rig model over CAT, the rig server over
// the network, or hamlib's dummy rig with its PTT line on a serial device or a CM108's GPIO. Every
// call may wait for the rig (up to its time-out), and for any other rig's call under way: only a
// rig's own thread uses it.
class CHamlibRig
{
public:
    // How long one exchange with the rig may take, and how often it is tried again.
    static constexpr int kTimeoutMs = 1000;
    static constexpr int kRetries = 1;

    CHamlibRig() = default;
    ~CHamlibRig();
    CHamlibRig(const CHamlibRig&) = delete;
    CHamlibRig& operator=(const CHamlibRig&) = delete;

    // Closes what is open, then opens the rig. False, with GetError, when it cannot be opened.
    bool Open(const CRigSettings& settings);
    void Close();
    bool IsOpen() const { return m_pRig != nullptr; }
    // Whether the rig tells its frequency and mode (CAT and the rig server do, a PTT line not).
    bool HasCat() const { return m_bCat; }

    // Each false, with GetError, when the rig did not do it or did not answer.
    bool SetPtt(bool bKeyed);
    // A rig that cannot tell its PTT (a CM108, some models) answers with bKeyed untouched.
    bool ReadPtt(bool& bKeyed);
    bool ReadFrequency(double& dHz, std::string& strMode);
    const std::string& GetError() const { return m_strError; }

private:
    // These with hamlib's lock held.
    void CloseLocked();
    bool SetConf(const char* pszToken, const std::string& strValue);
    // Keeps why nResult (a hamlib error code) failed what; true for success.
    bool Check(int nResult, const char* pszWhat);

    s_rig* m_pRig = nullptr;
    bool m_bCat = false;
    std::string m_strWhere; // the device or address, for the operator's messages
    std::string m_strError;
};
