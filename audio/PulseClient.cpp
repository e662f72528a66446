#include "audio/PulseClient.h"

#include <pulse/pulseaudio.h>

namespace
{
void OnSignal(pa_threaded_mainloop* pLoop)
{
    pa_threaded_mainloop_signal(pLoop, 0);
}

// What the listing callbacks collect.
struct CListing
{
    std::vector<CAudioDevice>& m_Inputs;
    std::vector<CAudioDevice>& m_Outputs;
    bool m_bMonitors;
    std::string m_strDefaultSink;
    std::string m_strDefaultSource;
};

CAudioDevice DeviceOf(const char* pszName, const char* pszDescription, const std::string& strDefault)
{
    CAudioDevice device;
    device.m_strName = pszName != nullptr ? pszName : "";
    device.m_strDescription = pszDescription != nullptr ? pszDescription : device.m_strName;
    device.m_bDefault = device.m_strName == strDefault;
    return device;
}

void OnServerInfo(pa_context*, const pa_server_info* pInfo, void* pv)
{
    auto& listing = *static_cast<CListing*>(pv);
    if (pInfo->default_sink_name != nullptr)
        listing.m_strDefaultSink = pInfo->default_sink_name;
    if (pInfo->default_source_name != nullptr)
        listing.m_strDefaultSource = pInfo->default_source_name;
}

void OnSinkInfo(pa_context*, const pa_sink_info* pInfo, int nEnd, void* pv)
{
    auto& listing = *static_cast<CListing*>(pv);
    if (nEnd == 0 && pInfo != nullptr)
        listing.m_Outputs.push_back(DeviceOf(pInfo->name, pInfo->description, listing.m_strDefaultSink));
}

void OnSourceInfo(pa_context*, const pa_source_info* pInfo, int nEnd, void* pv)
{
    auto& listing = *static_cast<CListing*>(pv);
    if (nEnd != 0 || pInfo == nullptr)
        return;
    const bool bMonitor = pInfo->monitor_of_sink != PA_INVALID_INDEX;
    if (bMonitor && !listing.m_bMonitors)
        return;
    listing.m_Inputs.push_back(DeviceOf(pInfo->name, pInfo->description, listing.m_strDefaultSource));
    listing.m_Inputs.back().m_bMonitor = bMonitor;
}
} // namespace

CPulseClient::CLock::CLock(const CPulseClient& client) : m_pLoop(client.m_pLoop)
{
    pa_threaded_mainloop_lock(m_pLoop);
}

CPulseClient::CLock::~CLock()
{
    pa_threaded_mainloop_unlock(m_pLoop);
}

CPulseClient::CPulseClient(std::string strClientName)
    : m_strClientName(std::move(strClientName)), m_pLoop(pa_threaded_mainloop_new())
{
    pa_threaded_mainloop_set_name(m_pLoop, "pulse-events");
    pa_threaded_mainloop_start(m_pLoop);
}

CPulseClient::~CPulseClient()
{
    {
        CLock lock(*this);
        DropContext();
    }
    pa_threaded_mainloop_stop(m_pLoop);
    pa_threaded_mainloop_free(m_pLoop);
}

void CPulseClient::DropContext()
{
    if (m_pContext == nullptr)
        return;
    pa_context_set_state_callback(m_pContext, nullptr, nullptr);
    pa_context_disconnect(m_pContext);
    pa_context_unref(m_pContext);
    m_pContext = nullptr;
}

void CPulseClient::Wait()
{
    pa_threaded_mainloop_wait(m_pLoop);
}

void CPulseClient::Signal()
{
    OnSignal(m_pLoop);
}

bool CPulseClient::Connect()
{
    CLock lock(*this);
    return ConnectLocked();
}

bool CPulseClient::ConnectLocked()
{
    // A context that failed (the server went away) is not used again: a new one connects anew.
    if (m_pContext != nullptr && !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_pContext)))
        DropContext();
    if (m_pContext == nullptr)
    {
        m_pContext = pa_context_new(pa_threaded_mainloop_get_api(m_pLoop), m_strClientName.c_str());
        pa_context_set_state_callback(
            m_pContext, [](pa_context*, void* pv) { OnSignal(static_cast<pa_threaded_mainloop*>(pv)); },
            m_pLoop);
        if (pa_context_connect(m_pContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        {
            m_strError = std::string("Can't reach the sound server: ") + pa_strerror(pa_context_errno(m_pContext));
            DropContext();
            return false;
        }
    }
    // Another thread may be connecting this context already: then this one waits for it too.
    for (;;)
    {
        const pa_context_state_t nState = pa_context_get_state(m_pContext);
        if (nState == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(nState))
        {
            m_strError = std::string("Can't reach the sound server: ") + pa_strerror(pa_context_errno(m_pContext));
            DropContext();
            return false;
        }
        Wait();
    }
}

bool CPulseClient::Await(pa_operation* pOperation)
{
    if (pOperation == nullptr)
        return false;
    pa_operation_set_state_callback(
        pOperation, [](pa_operation*, void* pv) { OnSignal(static_cast<pa_threaded_mainloop*>(pv)); }, m_pLoop);
    while (pa_operation_get_state(pOperation) == PA_OPERATION_RUNNING)
        Wait();
    const bool bDone = pa_operation_get_state(pOperation) == PA_OPERATION_DONE;
    pa_operation_unref(pOperation);
    return bDone;
}

bool CPulseClient::ListDevices(std::vector<CAudioDevice>& inputs, std::vector<CAudioDevice>& outputs,
                               bool bMonitors)
{
    inputs.clear();
    outputs.clear();
    CLock lock(*this);
    if (!ConnectLocked())
        return false;
    CListing listing{inputs, outputs, bMonitors, {}, {}};
    const bool bListed = Await(pa_context_get_server_info(m_pContext, OnServerInfo, &listing)) &&
                         Await(pa_context_get_sink_info_list(m_pContext, OnSinkInfo, &listing)) &&
                         Await(pa_context_get_source_info_list(m_pContext, OnSourceInfo, &listing));
    if (!bListed)
        m_strError = std::string("Can't list the sound devices: ") + pa_strerror(pa_context_errno(m_pContext));
    return bListed;
}
