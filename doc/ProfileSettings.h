#pragma once

#include <string>

class IProfile;

// Every setting the program keeps in its profile, with its section, key and default, in one
// table. All reads and writes go through it, so that a key is spelled in one place only.
namespace ProfileSettings
{
// An option kept as 1 or 0; any stored number other than 0 reads as set.
struct SFlag
{
    const char* pszSection;
    const char* pszKey;
    bool bDefault;
};
struct SInt
{
    const char* pszSection;
    const char* pszKey;
    int nDefault;
};
struct SText
{
    const char* pszSection;
    const char* pszKey;
    const char* pszDefault;
};
// Numbered texts with no default: the prefix and nFirst + i name entry i, as "Message0".
struct STextList
{
    const char* pszSection;
    const char* pszKeyPrefix;
    int nFirst;
    int nCount;
};

// Shell commands run before the port is opened and after it is closed.
inline constexpr SText kStartupCommand{"Startup", "Command", ""};
inline constexpr SText kShutdownCommand{"Shutdown", "Command", ""};
// Transmit options, the picture's colours and the Hell font.
inline constexpr SFlag kFullDuplex{"Tx", "FullDuplex", true};
inline constexpr SFlag kUpperCase{"Tx", "UpperCase", true};
inline constexpr SFlag kUseDiddle{"Tx", "UseDiddle", true};
inline constexpr SFlag kReverseVideo{"Tx", "ReverseVideo", false};
inline constexpr SText kFontFileName{"Tx", "FontFileName", "hellfont.hlf"};
// How the picture is painted: brightness and contrast (-100..100), zoom in percent, slant
// correction in ppm.
inline constexpr SInt kPictureBrightness{"View", "Brightness", 0};
inline constexpr SInt kPictureContrast{"View", "Contrast", 0};
inline constexpr SInt kPictureZoom{"View", "Zoom", 100};
inline constexpr SInt kPictureSlant{"View", "Slant", 0};
// The port: "DUMMY", "COMn", a device path or "SOUNDCARD".
inline constexpr SText kPort{"Comm", "Port", "DUMMY"};
// The sound card's Hell mode: a word of HellModeNames::kAll (FELDHELL, SLOWHELL, ...).
inline constexpr SText kMode{"Comm", "Mode", "FELDHELL"};
// The sound card's devices (the sound server's names; empty for its default) and tone in Hz; the
// transmit tone when it is split from the tone listened to; AFC.
inline constexpr SText kAudioInputDevice{"Audio", "InputDevice", ""};
inline constexpr SText kAudioOutputDevice{"Audio", "OutputDevice", ""};
inline constexpr SInt kAudioTone{"Audio", "Tone", 1000};
inline constexpr SFlag kAudioSplit{"Audio", "Split", false};
inline constexpr SInt kAudioTxTone{"Audio", "TxTone", 1000};
inline constexpr SFlag kAudioAfc{"Audio", "AFC", true};
// The main window's size and place, the toolbar's place and the split between the panes, as the
// window system's toolkit saves them (in base64); empty for the first-run layout.
inline constexpr SText kWindowGeometry{"Window", "Geometry", ""};
inline constexpr SText kWindowState{"Window", "State", ""};
inline constexpr SText kWindowSplit{"Window", "Split", ""};
// The rig: how the sound card's transmitter is keyed (NONE, CAT, NET, RTS, DTR or CM108), hamlib's
// model number (CAT), the serial or hidraw device, the serial speed (0: the model's own), the rig
// server's host:port (NET), and the lead and tail times of the key in milliseconds.
inline constexpr SText kRigPtt{"Rig", "PTT", "NONE"};
inline constexpr SInt kRigModel{"Rig", "Model", 1};
inline constexpr SText kRigDevice{"Rig", "Device", ""};
inline constexpr SInt kRigSpeed{"Rig", "Speed", 0};
inline constexpr SText kRigAddress{"Rig", "Address", "localhost:4532"};
inline constexpr SInt kRigLead{"Rig", "Lead", 50};
inline constexpr SInt kRigTail{"Rig", "Tail", 20};
// The canned messages of Alt+1..Alt+9, and the recent-file list of the File menu.
inline constexpr STextList kXmitMessages{"XmitMessages", "Message", 0, 9};
inline constexpr STextList kRecentFiles{"Recent File List", "File", 1, 4};

bool Read(IProfile& profile, const SFlag& setting);
void Write(IProfile& profile, const SFlag& setting, bool bValue);
int Read(IProfile& profile, const SInt& setting);
void Write(IProfile& profile, const SInt& setting, int nValue);
std::string Read(IProfile& profile, const SText& setting);
void Write(IProfile& profile, const SText& setting, const std::string& strValue);
// Entry nIndex (0 .. nCount - 1); empty when not stored.
std::string Read(IProfile& profile, const STextList& setting, int nIndex);
void Write(IProfile& profile, const STextList& setting, int nIndex, const std::string& strValue);
} // namespace ProfileSettings
