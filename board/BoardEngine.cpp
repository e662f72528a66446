#include "board/BoardEngine.h"

#include "board/AudioStream.h"
#include "board/Fader.h"
#include "board/RemoteStation.h"
#include "modem/FeldHellRates.h"
#include "modem/FeldHellReceiver.h"
#include "modem/FeldHellTransmitter.h"

#include <cmath>

namespace
{
// The noise is white over the whole audio band; this much of it falls in 2500 Hz.
constexpr double kNoiseBandHz = 2500.0;
constexpr double kTonePower = 0.5; // a tone of amplitude 1
} // namespace

struct CBoardEngine::CBoard
{
    CBoard(double dToneHz, const CHellMode& mode)
        : m_Transmitter([this] { return m_nTxByte; }, dToneHz, FeldHellRates::kSampleRate, mode),
          m_Receiver(dToneHz, FeldHellRates::kSampleRate, mode)
    {
    }

    std::uint8_t m_nTxByte = 0;
    CFeldHellTransmitter m_Transmitter;
    CFeldHellReceiver m_Receiver;
    std::unique_ptr<CFader> m_pRemoteFader; // the path from the remote station to this board
    std::unique_ptr<CFader> m_pPeerFader;   // the path from the other board of a pair
    std::mt19937 m_Rng;
    std::vector<std::complex<float>> m_Tx;
    std::vector<float> m_Heard;
    std::vector<std::uint8_t> m_Levels;
};

CBoardEngine::CBoardEngine(const CBoardSettings& settings, const CHellFont& font) : m_Settings(settings)
{
    if (m_Settings.m_SnrDb)
        m_fNoiseSigma =
            static_cast<float>(std::sqrt(kTonePower * (FeldHellRates::kSampleRate / 2.0) / kNoiseBandHz *
                                         std::pow(10.0, -*m_Settings.m_SnrDb / 10.0)));
    if (!m_Settings.m_strRemoteText.empty())
        m_pRemote = std::make_unique<CRemoteStation>(font, m_Settings.m_strRemoteText,
                                                     m_Settings.m_dToneHz + m_Settings.m_dRemoteOffsetHz,
                                                     m_Settings.m_dRemotePpm,
                                                     CRemoteStation::CSchedule{m_Settings.m_dRemotePauseSeconds,
                                                                               m_Settings.m_dRemoteDriftHz},
                                                     m_Settings.m_Mode);
    const int nBoards = m_Settings.m_bPair ? 2 : 1;
    for (int b = 0; b < nBoards; ++b)
    {
        auto pBoard = std::make_unique<CBoard>(m_Settings.m_dToneHz, m_Settings.m_Mode);
        pBoard->m_Receiver.SetAfc(m_Settings.m_bAfc);
        // Three generators a board, each with a seed of its own.
        const std::uint32_t nSeed = m_Settings.m_nSeed * 8 + static_cast<std::uint32_t>(b) * 3;
        pBoard->m_Rng.seed(nSeed);
        if (m_Settings.m_dFadeHz > 0)
        {
            pBoard->m_pRemoteFader = std::make_unique<CFader>(m_Settings.m_dFadeHz, nSeed + 1);
            pBoard->m_pPeerFader = std::make_unique<CFader>(m_Settings.m_dFadeHz, nSeed + 2);
        }
        m_Boards.push_back(std::move(pBoard));
    }
}

CBoardEngine::~CBoardEngine() = default;

double CBoardEngine::GetListeningHz(int nBoard) const
{
    return m_Boards[static_cast<std::size_t>(nBoard)]->m_Receiver.GetListeningHz();
}

void CBoardEngine::StepPixel(std::span<const std::uint8_t> txBytes, std::span<Levels> levels)
{
    const CHellMode& mode = m_Settings.m_Mode;
    const auto nSamples =
        static_cast<std::size_t>(mode.FirstSampleOfPixel(m_nPixel + 1, FeldHellRates::kSampleRate) -
                                 mode.FirstSampleOfPixel(m_nPixel, FeldHellRates::kSampleRate));
    ++m_nPixel;
    for (std::size_t b = 0; b < m_Boards.size(); ++b)
    {
        CBoard& board = *m_Boards[b];
        board.m_nTxByte = b < txBytes.size() ? txBytes[b] : 0;
        board.m_Tx.resize(nSamples);
        board.m_Transmitter.GenerateAnalytic(board.m_Tx.data(), nSamples);
    }
    if (m_pRemote)
    {
        m_Remote.resize(nSamples);
        m_pRemote->Generate(m_Remote.data(), nSamples);
    }
    for (std::size_t b = 0; b < m_Boards.size(); ++b)
    {
        CBoard& board = *m_Boards[b];
        Hear(board, static_cast<int>(b), nSamples);
        board.m_Levels.clear();
        board.m_Receiver.Process(board.m_Heard.data(), nSamples, board.m_Levels);
        if (b < levels.size())
            for (std::size_t i = 0; i < levels[b].size(); ++i)
                levels[b][i] = i < board.m_Levels.size() ? board.m_Levels[i] : 0;
    }
    if (m_Sinks.empty())
        return;
    m_TxAudio.resize(nSamples);
    for (std::size_t i = 0; i < nSamples; ++i)
        m_TxAudio[i] = m_Boards[0]->m_Tx[i].real() * kTxAudioLevel;
    for (IAudioSink* pSink : m_Sinks)
        pSink->Write(m_TxAudio.data(), nSamples);
}

void CBoardEngine::Hear(CBoard& board, int nBoard, std::size_t nSamples)
{
    board.m_Heard.assign(nSamples, 0.0f);
    if (nBoard == 0 && m_pSource != nullptr)
        m_pSource->Read(board.m_Heard.data(), nSamples);
    else
    {
        const CBoard* pPeer = m_Boards.size() > 1 ? m_Boards[1 - nBoard].get() : nullptr;
        std::normal_distribution<float> noise(0.0f, 1.0f);
        for (std::size_t i = 0; i < nSamples; ++i)
        {
            std::complex<float> far;
            if (m_pRemote)
                far += board.m_pRemoteFader ? board.m_pRemoteFader->Next() * m_Remote[i] : m_Remote[i];
            if (pPeer != nullptr)
                far += board.m_pPeerFader ? board.m_pPeerFader->Next() * pPeer->m_Tx[i] : pPeer->m_Tx[i];
            board.m_Heard[i] = far.real() + (m_fNoiseSigma > 0 ? m_fNoiseSigma * noise(board.m_Rng) : 0.0f);
        }
    }
    if (m_Settings.m_bMonitor)
        for (std::size_t i = 0; i < nSamples; ++i)
            board.m_Heard[i] += board.m_Tx[i].real();
}

std::vector<std::uint8_t> CBoardEngine::RunReceiving(std::int64_t nPixels)
{
    std::vector<std::uint8_t> received;
    received.reserve(static_cast<std::size_t>(nPixels) * FeldHellRates::kLevelsPerPixel);
    const std::vector<std::uint8_t> off(m_Boards.size(), 0);
    std::vector<Levels> levels(m_Boards.size());
    for (std::int64_t n = 0; n < nPixels; ++n)
    {
        StepPixel(off, levels);
        received.insert(received.end(), levels[0].begin(), levels[0].end());
    }
    return received;
}
