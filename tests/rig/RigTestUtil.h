#pragma once

#include "RigServer.h"

#include "rig/Rig.h"

#include <chrono>
#include <thread>

// The settings of the network rig that a test's rig server is.
inline CRigSettings NetRig(const CRigServer& server)
{
    CRigSettings settings;
    settings.m_nPtt = ERigPtt::Net;
    settings.m_strAddress = server.GetAddress();
    return settings;
}

// Waits (ten seconds at most) for a condition that the rig's thread or the server brings about.
template <class F> bool Eventually(F condition)
{
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > tEnd)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Waits until the rig has carried out PTT request nRequest, or given it up.
inline CRigStatus AwaitPtt(const CRig& rig, std::uint64_t nRequest)
{
    Eventually([&] { return rig.GetStatus().m_nPttDone >= nRequest; });
    return rig.GetStatus();
}
