#pragma once

#include "BoardTestUtil.h"
#include "StationFixture.h"

#include <string>
#include <vector>

using namespace std::chrono_literals;

// The station receiving what it sends, or another station's recording, read back from its picture.
class SoundCardStationTest : public CStationFixture
{
protected:
    // Listens to another output's monitor from now on (the port is opened anew).
    void ListenTo(const std::string& strInput)
    {
        m_strInput = strInput;
        m_Doc.OpenPort(CSoundCardPort::kName);
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
};
