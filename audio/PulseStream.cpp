#include "audio/PulseStream.h"

#include "audio/AudioFormat.h"
#include "audio/PulseClient.h"

#include <pulse/pulseaudio.h>

CPulseStream::CPulseStream(CPulseClient& client, bool bPlayback)
    : m_Client(client), m_pszKind(bPlayback ? "output" : "input")
{
}

CPulseStream::~CPulseStream()
{
    Close();
}

bool CPulseStream::IsOpen() const
{
    CLock lock(m_Client);
    return m_bReady && !m_bLost.load();
}

void CPulseStream::Close()
{
    CLock lock(m_Client);
    CloseLocked();
}

void CPulseStream::CloseLocked()
{
    if (m_pStream == nullptr)
        return;
    pa_stream_set_state_callback(m_pStream, nullptr, nullptr);
    pa_stream_set_read_callback(m_pStream, nullptr, nullptr);
    pa_stream_set_underflow_callback(m_pStream, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(m_pStream)))
        pa_stream_disconnect(m_pStream);
    pa_stream_unref(m_pStream);
    m_pStream = nullptr;
    m_bReady = false;
    m_strDeviceName.clear();
    OnEnded();
}

bool CPulseStream::OpenStream(const std::string& strStreamName, const std::string& strDevice)
{
    CLock lock(m_Client);
    CloseLocked();
    m_bLost.store(false);
    m_strError.clear();
    const std::string strWhich =
        strDevice.empty() ? std::string("the default sound ") + m_pszKind : std::string("the sound ") + m_pszKind + " " + strDevice;
    if (!m_Client.ConnectLocked())
    {
        m_strError = m_Client.GetError();
        return false;
    }
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, AudioFormat::kSampleRate, 1};
    m_pStream = pa_stream_new(m_Client.m_pContext, strStreamName.c_str(), &format, nullptr);
    if (m_pStream == nullptr)
    {
        m_strError = "Can't open " + strWhich + ": " + pa_strerror(pa_context_errno(m_Client.m_pContext));
        return false;
    }
    pa_stream_set_state_callback(m_pStream, OnStateChanged, this);
    const unsigned nFlags = strDevice.empty() ? 0u : static_cast<unsigned>(PA_STREAM_DONT_MOVE);
    bool bConnected = ConnectStream(m_pStream, strDevice.empty() ? nullptr : strDevice.c_str(), nFlags);
    while (bConnected && pa_stream_get_state(m_pStream) == PA_STREAM_CREATING)
        m_Client.Wait();
    if (!bConnected || pa_stream_get_state(m_pStream) != PA_STREAM_READY)
    {
        const int nError = pa_context_errno(m_Client.m_pContext);
        m_strError = nError == PA_ERR_NOENTITY ? std::string("No sound ") + m_pszKind + " named " + strDevice
                                               : "Can't open " + strWhich + ": " + pa_strerror(nError);
        CloseLocked();
        return false;
    }
    m_bReady = true;
    const char* pszName = pa_stream_get_device_name(m_pStream);
    m_strDeviceName = pszName != nullptr ? pszName : strDevice;
    return true;
}

void CPulseStream::OnStateChanged(pa_stream* p, void* pv)
{
    auto* pSelf = static_cast<CPulseStream*>(pv);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(p)) && pSelf->m_bReady)
    {
        pSelf->m_bLost.store(true);
        pSelf->OnEnded();
    }
    pSelf->m_Client.Signal();
}
