#pragma once

#include "BoardTestUtil.h"
#include "FakeXmitSource.h"
#include "MemoryProfile.h"
#include "PulseServer.h"
#include "RecordingHost.h"

#include "doc/SkrivelDoc.h"
#include "link/PortFactory.h"
#include "station/SoundCardPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

using namespace std::chrono_literals;

// A document without a window on the sound-card port, its output playing into a null sink whose
// monitor it hears: it receives what it sends.
class SoundCardStationTest : public ::testing::Test
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
                return std::make_unique<CSoundCardPort>(settings);
            });
        m_Doc.OnNewDocument();
    }

    // Listens to another output's monitor from now on (the port is opened anew).
    void ListenTo(const std::string& strInput)
    {
        m_strInput = strInput;
        m_Doc.OpenPort(CSoundCardPort::kName);
    }

    // The heartbeat, as the program's 20 ms timer runs it.
    void Run(std::chrono::milliseconds duration)
    {
        const auto tEnd = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < tEnd)
        {
            m_Doc.Tick();
            if (m_OnTick)
                m_OnTick();
            std::this_thread::sleep_for(20ms);
        }
    }

    // Transmits the text and runs until it has gone out and the picture shows it.
    void Send(const std::string& strText)
    {
        m_Source.m_strText += strText;
        m_Doc.OnTransmit();
        m_Doc.OnReceive();
        for (int i = 0; i < 1000 && m_Doc.m_bTransmitting; ++i)
            Run(20ms);
        Run(1s); // the output's queue and the receiver's filter
    }

    std::string ReadPicture() const
    {
        std::vector<std::uint8_t> samples;
        const CRxStore& store = m_Doc.m_RxStore;
        for (int nPage = 0; nPage < store.m_nRxPages; ++nPage)
        {
            const std::uint8_t* pPage = store.m_RxPages[static_cast<std::size_t>(nPage)]->data();
            samples.insert(samples.end(), pPage, pPage + store.GetPageByteCount(nPage));
        }
        return CHellReader::TextOf(CHellReader(BundledFont()).Read(samples));
    }

    // The underruns the port pane reports.
    int ReportedUnderruns() const
    {
        const std::string strPane = m_Doc.GetPortStatusText();
        const std::size_t nColon = strPane.find(": ");
        return nColon == std::string::npos ? 0 : std::stoi(strPane.substr(nColon + 2));
    }

    std::function<void()> m_OnTick; // run after each heartbeat
    CPulseServer m_Server;
    int m_nSink = -1;
    std::string m_strInput = "station.monitor";
    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CFakeXmitSource m_Source;
    CSkrivelDoc m_Doc{m_Profile, m_Host};
};
