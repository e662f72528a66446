// skrivel-board: a software Feld-Hell DSP board on a pseudo-terminal.
#include "board/BoardEngine.h"
#include "board/BoardOptions.h"
#include "board/BoardRunner.h"
#include "board/HellReader.h"
#include "board/PlayOnOpen.h"
#include "board/PtyPort.h"
#include "board/SoundCard.h"
#include "board/WavReader.h"
#include "board/WavWriter.h"

#include "audio/PulseClient.h"
#include "engine/HellFont.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace
{
std::atomic<bool> g_bStop{false};

void OnSignal(int)
{
    g_bStop.store(true);
}

int Fail(const std::string& strText)
{
    std::fprintf(stderr, "skrivel-board: %s\n", strText.c_str());
    return 1;
}

int ReadPicture(const CHellFont& font, const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    if (!file)
        return Fail("Can't open " + strPath);
    const std::vector<std::uint8_t> samples{std::istreambuf_iterator<char>(file),
                                            std::istreambuf_iterator<char>()};
    const std::vector<CReadCell> cells = CHellReader(font).Read(samples);
    std::printf("%s\n# cell start row column quality code\n", CHellReader::TextOf(cells).c_str());
    for (std::size_t i = 0; i < cells.size(); ++i)
        std::printf("%zu %.2f %d %d %.2f %d\n", i, cells[i].m_dStart, cells[i].m_nRow, cells[i].m_nColumn,
                    cells[i].m_dQuality, cells[i].m_nCode);
    return 0;
}

// The received audio when it is not the simulated channel, and where the transmitted audio goes.
struct CAudio
{
    explicit CAudio(CWavReader::EChannel nPlayChannel) : m_Play(nPlayChannel) {}

    CWavWriter m_Record;
    CWavReader m_Play;
    std::unique_ptr<CPlayOnOpen> m_pPlayOnOpen; // with --play only
    std::unique_ptr<CSoundCard> m_pCard; // with --audio only
};

void Say(const std::string& strText)
{
    std::printf("%s\n", strText.c_str());
    std::fflush(stdout);
}

// Gives the reason when a file or the sound card cannot be opened, else empty. A file to play
// starts when a program opens the first port.
std::string ConnectAudio(const CBoardOptions& options, CAudio& audio, CBoardEngine& engine, const CPtyPort& port)
{
    if (!options.m_strRecord.empty())
    {
        if (!audio.m_Record.Open(options.m_strRecord))
            return audio.m_Record.GetError();
        engine.AddTransmitSink(&audio.m_Record);
    }
    if (!options.m_strPlay.empty())
    {
        if (!audio.m_Play.Open(options.m_strPlay))
            return audio.m_Play.GetError();
        audio.m_pPlayOnOpen =
            std::make_unique<CPlayOnOpen>(audio.m_Play, [&port] { return port.IsHeld(); }, Say);
        engine.SetReceivedAudio(audio.m_pPlayOnOpen.get());
    }
    if (options.m_bAudio)
    {
        audio.m_pCard = std::make_unique<CSoundCard>();
        if (!audio.m_pCard->Open(options.m_strAudioIn, options.m_strAudioOut, options.m_strAudioDevice))
            return audio.m_pCard->GetError() + " (skrivel-board --list-audio shows the devices)";
        engine.SetReceivedAudio(audio.m_pCard.get());
        engine.AddTransmitSink(audio.m_pCard.get());
        std::printf("Audio: %s\n", audio.m_pCard->Describe().c_str());
    }
    return {};
}

// The sound server's inputs and outputs, by the descriptions its sound settings show, each with
// the name that picks it.
int ListAudio()
{
    CPulseClient client("Skrivel");
    std::vector<CAudioDevice> inputs;
    std::vector<CAudioDevice> outputs;
    if (!client.ListDevices(inputs, outputs))
        return Fail(client.GetError());
    for (const auto& [pszTitle, pDevices] : {std::pair{"Sound inputs (--audio-in NAME):", &inputs},
                                             std::pair{"Sound outputs (--audio-out NAME):", &outputs}})
    {
        std::printf("%s\n", pszTitle);
        if (pDevices->empty())
            std::printf("  none\n");
        for (const CAudioDevice& device : *pDevices)
            std::printf("  %s%s\n      %s\n", device.m_strDescription.c_str(), device.m_bDefault ? " (default)" : "",
                        device.m_strName.c_str());
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    CBoardOptions options;
    std::string strError;
    if (!options.Parse(argc, argv, strError))
    {
        std::fprintf(stderr, "skrivel-board: %s\n\n%s", strError.c_str(), CBoardOptions::Usage());
        return 2;
    }
    if (options.m_bHelp)
    {
        std::fputs(CBoardOptions::Usage(), stdout);
        return 0;
    }
    if (options.m_bListAudio)
        return ListAudio();
    CHellFont font;
    if (!font.Load(CHellFont::Resolve(options.m_strFont, CHellFont::GetDataDirs())))
        return Fail("Can't open font file " + options.m_strFont);
    if (!options.m_strRead.empty())
        return ReadPicture(font, options.m_strRead);

    CBoardEngine engine(options.m_Settings, font);

    // Caught before any link exists, so that a stop at any moment after still removes the links:
    // a link left behind would name a terminal number that the system gives to someone else.
    struct sigaction action
    {
    };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int nSignal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(nSignal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::unique_ptr<CPtyPort>> ports;
    std::vector<CPtyPort*> portPointers;
    const std::string links[] = {options.m_strLink, options.m_strLink2};
    for (int b = 0; b < engine.GetBoardCount(); ++b)
    {
        auto pPort = std::make_unique<CPtyPort>();
        if (!pPort->Open() || (!links[b].empty() && !pPort->SetLink(links[b])))
            return Fail(pPort->GetError());
        std::printf("Port %d: %s%s%s\n", b + 1, pPort->GetDevicePath().c_str(),
                    links[b].empty() ? "" : " as ", links[b].c_str());
        portPointers.push_back(pPort.get());
        ports.push_back(std::move(pPort));
    }
    std::fflush(stdout);
    CAudio audio(options.m_nPlayChannel);
    if (const std::string strAudioError = ConnectAudio(options, audio, engine, *ports.front());
        !strAudioError.empty())
        return Fail(strAudioError);

    CBoardRunner runner(engine, portPointers);
    runner.Run(g_bStop);
    audio.m_Record.Close();
    if (!audio.m_Record.GetError().empty())
        return Fail(audio.m_Record.GetError());
    const CBoardRunner::CStats& stats = runner.GetStats();
    std::printf("Ran %.1f s; latest wake-up %.2f ms after its deadline\n",
                static_cast<double>(stats.m_nTicks) / engine.GetMode().GetLevelRate(),
                static_cast<double>(stats.m_nMaxLateNs) / 1e6);
    if (audio.m_pCard)
        std::printf("The sound output ran dry %d times\n", audio.m_pCard->GetUnderruns());
    return 0;
}
