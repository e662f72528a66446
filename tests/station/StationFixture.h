#pragma once

#include "FakeXmitSource.h"
#include "MemoryProfile.h"
#include "PulseServer.h"
#include "RecordingHost.h"

#include "doc/SkrivelDoc.h"
#include "link/PortFactory.h"
#include "rig/Rig.h"
#include "station/SoundCardPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

// A document without a window on the sound-card port, its output playing into a null sink,
// "station", whose monitor it hears unless told another input: it receives what it sends. Its
// rig keys nothing unless the test sets it up.
class CStationFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Server.Start()) << m_Server.GetLog();
        m_nSink = m_Server.LoadNullSink("station", "Station output");
        ASSERT_GE(m_nSink, 0);
        m_Profile.Set("Comm", "Port", CSoundCardPort::kName);
        m_Profile.Set("Tx", "FontFileName", SKRIVEL_BUNDLED_FONT);
        m_Doc.SetXmitSource(&m_Source);
        m_Doc.SetPortFactory(
            [this](const std::string& strName) -> std::unique_ptr<IPort>
            {
                if (strName != CSoundCardPort::kName)
                    return PortFactory::Create(strName);
                CSoundCardSettings settings;
                settings.m_strInputDevice = m_strInput;
                settings.m_strOutputDevice = "station";
                return std::make_unique<CSoundCardPort>(settings, &m_Rig);
            });
        m_Doc.OnNewDocument();
    }

    // The heartbeat, as the program's 20 ms timer runs it. Gives how many heartbeats ran.
    int Run(std::chrono::milliseconds duration)
    {
        int nTicks = 0;
        const auto tEnd = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < tEnd)
        {
            m_Doc.Tick();
            if (m_OnTick)
                m_OnTick();
            ++nTicks;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return nTicks;
    }

    std::function<void()> m_OnTick; // run after each heartbeat
    CPulseServer m_Server;
    int m_nSink = -1;
    std::string m_strInput = "station.monitor";
    CRig m_Rig; // outlives the document, whose port keys it
    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CFakeXmitSource m_Source;
    CSkrivelDoc m_Doc{m_Profile, m_Host};
};
