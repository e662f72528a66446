#include "board/BoardOptions.h"

#include <getopt.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace
{
enum Option
{
    kLink = 256,
    kLink2,
    kPair,
    kTone,
    kMonitor,
    kRemoteText,
    kRemotePpm,
    kRemoteOffset,
    kRemotePause,
    kRemoteDrift,
    kNoAfc,
    kSnr,
    kFade,
    kSeed,
    kRecord,
    kPlay,
    kPlayChannel,
    kAudio,
    kAudioIn,
    kAudioOut,
    kAudioDevice,
    kListAudio,
    kRead,
    kFont,
    kMode,
    kHelp,
};

constexpr double kDefaultFadeHz = 0.5;

const option kOptions[] = {
    {"link", required_argument, nullptr, kLink},
    {"link2", required_argument, nullptr, kLink2},
    {"pair", no_argument, nullptr, kPair},
    {"tone", required_argument, nullptr, kTone},
    {"monitor", no_argument, nullptr, kMonitor},
    {"remote-text", required_argument, nullptr, kRemoteText},
    {"remote-ppm", required_argument, nullptr, kRemotePpm},
    {"remote-offset", required_argument, nullptr, kRemoteOffset},
    {"remote-pause", required_argument, nullptr, kRemotePause},
    {"remote-drift", required_argument, nullptr, kRemoteDrift},
    {"no-afc", no_argument, nullptr, kNoAfc},
    {"snr", required_argument, nullptr, kSnr},
    {"fade", optional_argument, nullptr, kFade},
    {"seed", required_argument, nullptr, kSeed},
    {"record", required_argument, nullptr, kRecord},
    {"play", required_argument, nullptr, kPlay},
    {"play-channel", required_argument, nullptr, kPlayChannel},
    {"audio", no_argument, nullptr, kAudio},
    {"audio-in", required_argument, nullptr, kAudioIn},
    {"audio-out", required_argument, nullptr, kAudioOut},
    {"audio-device", required_argument, nullptr, kAudioDevice},
    {"list-audio", no_argument, nullptr, kListAudio},
    {"read", required_argument, nullptr, kRead},
    {"font", required_argument, nullptr, kFont},
    {"mode", required_argument, nullptr, kMode},
    {"help", no_argument, nullptr, kHelp},
    {nullptr, 0, nullptr, 0},
};

// A number in [dMin, dMax], the whole argument and nothing else.
bool ToNumber(const char* psz, double dMin, double dMax, double& dValue)
{
    char* pEnd = nullptr;
    errno = 0;
    dValue = std::strtod(psz, &pEnd);
    return errno == 0 && pEnd != psz && *pEnd == '\0' && std::isfinite(dValue) && dValue >= dMin &&
           dValue <= dMax;
}
} // namespace

const char* CBoardOptions::Usage()
{
    return "Usage: skrivel-board [options]\n"
           "A software Feld-Hell DSP board on a pseudo-terminal: give its port to Skrivel.\n"
           "\n"
           "Options:\n"
           "  --link PATH          keep a symbolic link to the port at PATH\n"
           "  --pair               two ports whose boards hear each other\n"
           "  --link2 PATH         a symbolic link to the second port of a pair\n"
           "  --tone HZ            the tone sent and listened to (default 1000)\n"
           "  --monitor            the board hears its own transmitter\n"
           "  --remote-text TEXT   a simulated station sends TEXT over and over\n"
           "  --remote-ppm PPM     its clock runs PPM parts per million fast (default 0)\n"
           "  --remote-offset HZ   its tone lies HZ above ours (default 15)\n"
           "  --remote-pause S     it pauses S seconds between the copies of its text\n"
           "  --remote-drift HZ    its tone drifts HZ a second\n"
           "  --no-afc             listen on the tone only, not around it\n"
           "  --snr DB             noise DB below a tone, in 2500 Hz (default: none)\n"
           "  --fade[=HZ]          slow fading of what comes from afar (default 0.5 Hz)\n"
           "  --seed N             the seed of noise and fading (default 1)\n"
           "  --record FILE.wav    write the transmitted audio\n"
           "  --play FILE.wav      receive the audio of FILE.wav once a program opens the port\n"
           "  --play-channel CH    of a stereo file: left, right or mix (default mix)\n"
           "  --audio              the sound card: transmit to its output, receive its input\n"
           "  --audio-in NAME      the sound input of that name (see --list-audio)\n"
           "  --audio-out NAME     the sound output of that name (see --list-audio)\n"
           "  --audio-device TEXT  the input and output whose names or descriptions contain TEXT\n"
           "  --list-audio         list the sound inputs and outputs and exit\n"
           "  --read FILE.hel      print the text of a received picture and exit\n"
           "  --font PATH          the Hell font (default: the bundled hellfont.hlf)\n"
           "  --mode NAME          FELDHELL (default), SLOWHELL, HELLX5, HELLX9 or FSKHELL245\n"
           "  --help               this text\n";
}

bool CBoardOptions::Parse(int argc, char** argv, std::string& strError)
{
    optind = 1;
    opterr = 0;
    int nOption = 0;
    double dValue = 0.0;
    const auto number = [&](double dMin, double dMax)
    {
        if (ToNumber(optarg, dMin, dMax, dValue))
            return true;
        strError = std::string("Bad value for --") + kOptions[nOption - kLink].name + ": " + optarg;
        return false;
    };
    while ((nOption = getopt_long(argc, argv, "", kOptions, nullptr)) != -1)
    {
        switch (nOption)
        {
        case kLink:
            m_strLink = optarg;
            break;
        case kLink2:
            m_strLink2 = optarg;
            break;
        case kPair:
            m_Settings.m_bPair = true;
            break;
        case kTone:
            if (!number(100, 3500))
                return false;
            m_Settings.m_dToneHz = dValue;
            break;
        case kMonitor:
            m_Settings.m_bMonitor = true;
            break;
        case kRemoteText:
            m_Settings.m_strRemoteText = optarg;
            break;
        case kRemotePpm:
            if (!number(-100000, 100000))
                return false;
            m_Settings.m_dRemotePpm = dValue;
            break;
        case kRemoteOffset:
            if (!number(-500, 500))
                return false;
            m_Settings.m_dRemoteOffsetHz = dValue;
            break;
        case kRemotePause:
            if (!number(0, 3600))
                return false;
            m_Settings.m_dRemotePauseSeconds = dValue;
            break;
        case kRemoteDrift:
            if (!number(-100, 100))
                return false;
            m_Settings.m_dRemoteDriftHz = dValue;
            break;
        case kNoAfc:
            m_Settings.m_bAfc = false;
            break;
        case kSnr:
            if (!number(-60, 100))
                return false;
            m_Settings.m_SnrDb = dValue;
            break;
        case kFade:
            if (optarg == nullptr)
                m_Settings.m_dFadeHz = kDefaultFadeHz;
            else if (!number(0.001, 50))
                return false;
            else
                m_Settings.m_dFadeHz = dValue;
            break;
        case kSeed:
            if (!number(0, 4294967295.0))
                return false;
            m_Settings.m_nSeed = static_cast<std::uint32_t>(dValue);
            break;
        case kRecord:
            m_strRecord = optarg;
            break;
        case kPlay:
            m_strPlay = optarg;
            break;
        case kPlayChannel:
            if (!CWavReader::ParseChannel(optarg, m_nPlayChannel))
            {
                strError = std::string("Bad value for --play-channel: ") + optarg + " (left, right or mix)";
                return false;
            }
            break;
        case kAudio:
            m_bAudio = true;
            break;
        case kAudioIn:
            m_strAudioIn = optarg;
            break;
        case kAudioOut:
            m_strAudioOut = optarg;
            break;
        case kAudioDevice:
            m_strAudioDevice = optarg;
            break;
        case kListAudio:
            m_bListAudio = true;
            break;
        case kRead:
            m_strRead = optarg;
            break;
        case kFont:
            m_strFont = optarg;
            break;
        case kMode:
            if (const CHellMode* pMode = HellModes::Find(optarg))
                m_Settings.m_Mode = *pMode;
            else
            {
                strError = std::string("Bad value for --mode: ") + optarg +
                           " (FELDHELL, SLOWHELL, HELLX5, HELLX9 or FSKHELL245)";
                return false;
            }
            break;
        case kHelp:
            m_bHelp = true;
            break;
        default:
            strError = std::string("Unknown or incomplete option: ") + argv[optind - 1];
            return false;
        }
    }
    if (optind < argc)
        strError = std::string("Unexpected argument: ") + argv[optind];
    else if (!m_strLink2.empty() && !m_Settings.m_bPair)
        strError = "--link2 needs --pair";
    else if (m_bAudio && !m_strPlay.empty())
        strError = "--audio and --play both give the received audio; choose one";
    else if (!m_bAudio && !(m_strAudioIn + m_strAudioOut + m_strAudioDevice).empty())
        strError = "--audio-in, --audio-out and --audio-device need --audio";
    return strError.empty();
}
