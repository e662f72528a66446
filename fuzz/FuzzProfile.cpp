// Starts the document on any profile values: strings where numbers are expected, huge values, odd
// characters in the font's file name and the port's name. Port names are checked through the
// mapping to device paths rather than opened, so the fuzzer never touches real devices.
#include "FuzzSupport.h"

#include "link/PortName.h"

#include <string>
#include <vector>

namespace
{
std::vector<std::string> SplitFields(const std::uint8_t* pData, std::size_t nSize)
{
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < nSize; ++i)
        if (pData[i] == '\n')
            fields.emplace_back();
        else
            fields.back() += static_cast<char>(pData[i]);
    return fields;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const char* const keys[][2] = {{"Tx", "FullDuplex"},         {"Tx", "UpperCase"},
                                   {"Tx", "ReverseVideo"},       {"Tx", "UseDiddle"},
                                   {"Tx", "FontFileName"},       {"Comm", "Port"},
                                   {"XmitMessages", "Message0"}, {"XmitMessages", "Message8"}};
    const std::vector<std::string> fields = SplitFields(pData, nSize);
    CMemoryProfile profile;
    for (std::size_t i = 0; i < fields.size() && i < std::size(keys); ++i)
        profile.Set(keys[i][0], keys[i][1], fields[i]);

    const std::string strPort = profile.GetProfileString("Comm", "Port", "DUMMY");
    const std::string strDevice = PortName::GetDevicePath(strPort);
    if (strPort.rfind("COM", 0) != 0 && strDevice != strPort)
        std::abort();
    // Only the port names that need no device are opened here.
    if (strPort != PortName::kDummy)
        profile.Set("Comm", "Port", "");
    // A font name must not reach devices or pipes either: keep it inside a folder of no files.
    const std::string strFont = profile.GetProfileString("Tx", "FontFileName", "hellfont.hlf");
    if (strFont.find('/') != std::string::npos)
        profile.Set("Tx", "FontFileName", "/nonexistent/" + strFont);

    CRecordingHost host;
    {
        CSkrivelDoc doc(profile, host);
        doc.OnNewDocument();
        doc.OnTransmit();
        for (int i = 0; i < 4; ++i)
            doc.Tick();
        doc.OnCloseDocument();
    }
    if (profile.GetProfileString("XmitMessages", "Message0", "") != (fields.size() > 6 ? fields[6] : ""))
        std::abort();
    return 0;
}
