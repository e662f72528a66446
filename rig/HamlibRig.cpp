#include "rig/HamlibRig.h"

#include "rig/RigModels.h"

#include <hamlib/rig.h>

#include <mutex>

namespace
{
// hamlib keeps its messages in buffers of its own that every call writes, whatever the rig: one
// call at a time in the whole program.
std::mutex s_HamlibLock;

// The PTT line of the dummy rig, for the methods that key by a line rather than by a command.
const char* PttLineType(ERigPtt nPtt)
{
    switch (nPtt)
    {
    case ERigPtt::Rts:
        return "RTS";
    case ERigPtt::Dtr:
        return "DTR";
    case ERigPtt::Cm108:
        return "CM108";
    default:
        return nullptr;
    }
}

// hamlib's text for an error code, without its line break.
std::string ErrorText(int nResult)
{
    std::string strText = rigerror2(nResult);
    while (!strText.empty() && (strText.back() == '\n' || strText.back() == '\r'))
        strText.pop_back();
    return strText;
}

// A rig that has no such function: not a failure, only nothing to tell.
bool IsUnsupported(int nResult)
{
    return nResult == -RIG_ENIMPL || nResult == -RIG_ENAVAIL;
}
} // namespace

CHamlibRig::~CHamlibRig()
{
    Close();
}

bool CHamlibRig::Open(const CRigSettings& settings)
{
    RigModels::InitHamlib();
    std::scoped_lock lock(s_HamlibLock);
    CloseLocked();
    const char* pszLine = PttLineType(settings.m_nPtt);
    const bool bNet = settings.m_nPtt == ERigPtt::Net;
    const rig_model_t nModel = bNet                 ? RIG_MODEL_NETRIGCTL
                               : pszLine != nullptr ? RIG_MODEL_DUMMY
                                                    : settings.m_nModel;
    m_strWhere = bNet ? settings.m_strAddress : settings.m_strDevice;
    m_pRig = rig_init(nModel);
    if (m_pRig == nullptr)
    {
        m_strError = "hamlib does not know rig model " + std::to_string(settings.m_nModel) + ".";
        return false;
    }
    m_bCat = pszLine == nullptr;
    bool bSet = SetConf("timeout", std::to_string(kTimeoutMs)) && SetConf("retry", std::to_string(kRetries));
    if (pszLine != nullptr)
    {
        bSet = bSet && SetConf("ptt_type", pszLine);
        // A CM108 without a device is hamlib's first one.
        if (!settings.m_strDevice.empty())
            bSet = bSet && SetConf("ptt_pathname", settings.m_strDevice);
    }
    else
    {
        bSet = bSet && SetConf("rig_pathname", m_strWhere);
        if (!bNet && settings.m_nSpeed > 0)
            bSet = bSet && SetConf("serial_speed", std::to_string(settings.m_nSpeed));
    }
    if (!bSet || !Check(rig_open(m_pRig), "The rig could not be opened"))
    {
        rig_cleanup(m_pRig);
        m_pRig = nullptr;
        return false;
    }
    // Every reading asks the rig itself: a rig that went away must show.
    rig_set_cache_timeout_ms(m_pRig, HAMLIB_CACHE_ALL, 0);
    return true;
}

void CHamlibRig::Close()
{
    std::scoped_lock lock(s_HamlibLock);
    CloseLocked();
}

void CHamlibRig::CloseLocked()
{
    if (m_pRig == nullptr)
        return;
    rig_close(m_pRig);
    rig_cleanup(m_pRig);
    m_pRig = nullptr;
}

bool CHamlibRig::SetConf(const char* pszToken, const std::string& strValue)
{
    const token_t nToken = rig_token_lookup(m_pRig, pszToken);
    if (nToken == RIG_CONF_END)
    {
        m_strError = std::string("This rig model has no setting ") + pszToken + ".";
        return false;
    }
    return Check(rig_set_conf(m_pRig, nToken, strValue.c_str()), "The rig could not be set up");
}

bool CHamlibRig::Check(int nResult, const char* pszWhat)
{
    if (nResult == RIG_OK)
        return true;
    m_strError = std::string(pszWhat) + (m_strWhere.empty() ? "" : " (" + m_strWhere + ")") + ": " +
                 ErrorText(nResult);
    return false;
}

bool CHamlibRig::SetPtt(bool bKeyed)
{
    std::scoped_lock lock(s_HamlibLock);
    return m_pRig != nullptr &&
           Check(rig_set_ptt(m_pRig, RIG_VFO_CURR, bKeyed ? RIG_PTT_ON : RIG_PTT_OFF),
                 bKeyed ? "The transmitter could not be keyed" : "The transmitter could not be released");
}

bool CHamlibRig::ReadPtt(bool& bKeyed)
{
    std::scoped_lock lock(s_HamlibLock);
    if (m_pRig == nullptr)
        return false;
    ptt_t nPtt = RIG_PTT_OFF;
    const int nResult = rig_get_ptt(m_pRig, RIG_VFO_CURR, &nPtt);
    if (IsUnsupported(nResult))
        return true;
    if (!Check(nResult, "The rig does not answer"))
        return false;
    bKeyed = nPtt != RIG_PTT_OFF;
    return true;
}

bool CHamlibRig::ReadFrequency(double& dHz, std::string& strMode)
{
    std::scoped_lock lock(s_HamlibLock);
    if (m_pRig == nullptr)
        return false;
    freq_t dFrequency = 0;
    int nResult = rig_get_freq(m_pRig, RIG_VFO_CURR, &dFrequency);
    if (!IsUnsupported(nResult) && !Check(nResult, "The rig does not answer"))
        return false;
    rmode_t nMode = RIG_MODE_NONE;
    pbwidth_t nWidth = 0;
    nResult = rig_get_mode(m_pRig, RIG_VFO_CURR, &nMode, &nWidth);
    if (!IsUnsupported(nResult) && !Check(nResult, "The rig does not answer"))
        return false;
    dHz = dFrequency;
    strMode = nMode == RIG_MODE_NONE ? "" : rig_strrmode(nMode);
    return true;
}
