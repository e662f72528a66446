#pragma once

#include "BoardTestUtil.h"
#include "StationFixture.h"

#include "audio/AudioFormat.h"
#include "audio/CaptureStream.h"
#include "audio/PulseClient.h"
#include "modem/FeldHellReceiver.h"
#include "modem/FeldHellTransmitter.h"

#include <cmath>
#include <memory>
#include <string>
#include <utility>
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

    // Records the station's output from now on, after each heartbeat, into m_Recording.
    void Record()
    {
        m_pRecorder = std::make_unique<CCaptureStream>(m_RecorderClient);
        ASSERT_TRUE(m_pRecorder->Open("recorder", "station.monitor", 10.0)) << m_pRecorder->GetError();
        m_OnTick = [this]
        {
            const std::size_t nHad = m_Recording.size();
            m_Recording.resize(nHad + static_cast<std::size_t>(m_pRecorder->GetAvailable()));
            m_Recording.resize(nHad + m_pRecorder->Read(m_Recording.data() + nHad, m_Recording.size() - nHad, 0ms));
        };
    }

    // The text read from the recording, heard in a mode on a tone.
    std::string ReadRecording(const CHellMode& mode = HellModes::FeldHell(), double dToneHz = 1000.0) const
    {
        std::vector<std::uint8_t> levels;
        CFeldHellReceiver(dToneHz, AudioFormat::kSampleRate, mode).Process(m_Recording.data(), m_Recording.size(), levels);
        return CHellReader::TextOf(CHellReader(BundledFont()).Read(levels));
    }

    // The stretches of audio where a tone sounds, [first, last] sample, split at silences longer
    // than nGap samples.
    static std::vector<std::pair<std::size_t, std::size_t>> BurstsOf(const std::vector<float>& audio,
                                                                     std::size_t nGap)
    {
        std::vector<std::pair<std::size_t, std::size_t>> bursts;
        for (std::size_t i = 0; i < audio.size(); ++i)
        {
            if (std::fabs(audio[i]) < 0.1f)
                continue;
            if (bursts.empty() || i - bursts.back().second > nGap)
                bursts.emplace_back(i, i);
            bursts.back().second = i;
        }
        return bursts;
    }

    // A text transmitted in a mode with nothing missing and nothing added.
    static std::vector<float> IdealAudio(const std::string& strText, const CHellMode& mode, double dToneHz)
    {
        const std::vector<std::uint8_t> items = TxBytesOf(strText);
        std::size_t nItem = 0;
        CFeldHellTransmitter ideal([&] { return nItem < items.size() ? items[nItem++] : std::uint8_t{0}; },
                                   dToneHz, AudioFormat::kSampleRate, mode);
        std::vector<float> audio(static_cast<std::size_t>(
            mode.FirstSampleOfPixel(static_cast<std::int64_t>(items.size()) + 2, AudioFormat::kSampleRate)));
        ideal.Generate(audio.data(), audio.size());
        return audio;
    }

    // The samples from the first to the last tone of that: a transmission of the text that is
    // longer has a hole or a filler.
    static std::size_t IdealLength(const std::string& strText, const CHellMode& mode, double dToneHz)
    {
        const std::vector<float> audio = IdealAudio(strText, mode, dToneHz);
        const auto bursts = BurstsOf(audio, audio.size());
        return bursts.empty() ? 0 : bursts[0].second - bursts[0].first;
    }

    // The underruns the port pane reports.
    int ReportedUnderruns() const
    {
        const std::string strPane = m_Doc.GetPortStatusText();
        const std::size_t nColon = strPane.find(": ");
        return nColon == std::string::npos ? 0 : std::stoi(strPane.substr(nColon + 2));
    }

    CPulseClient m_RecorderClient{"recorder"};
    std::unique_ptr<CCaptureStream> m_pRecorder;
    std::vector<float> m_Recording;
};
