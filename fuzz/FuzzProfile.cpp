// Starts the document on any profile file: strings where numbers are expected, huge values, odd
// characters in the font's file name and the port's name, broken lines and sections. The port and
// the font names are passed through the mapping to device paths but kept away from real devices,
// so the fuzzer never opens one.
#include "FuzzSupport.h"

#include "app/IniProfile.h"
#include "link/PortName.h"

#include <cstdio>
#include <string>

namespace
{
// The profile as the document sees it, with the names that could reach devices made harmless.
class CHarmlessProfile : public IProfile
{
public:
    explicit CHarmlessProfile(IProfile& profile) : m_Profile(profile) {}

    std::string GetProfileString(const std::string& strSection, const std::string& strKey,
                                 const std::string& strDefault) override
    {
        std::string strValue = m_Profile.GetProfileString(strSection, strKey, strDefault);
        if (strKey == "Port")
        {
            const std::string strDevice = PortName::GetDevicePath(strValue);
            if (strValue.rfind("COM", 0) != 0 && strDevice != strValue)
                std::abort(); // only COMn names are mapped
            return strValue == PortName::kDummy ? strValue : std::string();
        }
        if (strKey == "FontFileName")
            return "/nonexistent/" + strValue;
        return strValue;
    }
    int GetProfileInt(const std::string& strSection, const std::string& strKey, int nDefault) override
    {
        return m_Profile.GetProfileInt(strSection, strKey, nDefault);
    }
    void WriteProfileString(const std::string& strSection, const std::string& strKey,
                            const std::string& strValue) override
    {
        m_Profile.WriteProfileString(strSection, strKey, strValue);
    }
    void WriteProfileInt(const std::string& strSection, const std::string& strKey, int nValue) override
    {
        m_Profile.WriteProfileInt(strSection, strKey, nValue);
    }

private:
    IProfile& m_Profile;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string strPath = "/tmp/skrivel-fuzz-profile-" + std::to_string(::getpid()) + ".ini";
    {
        FILE* pFile = std::fopen(strPath.c_str(), "wb");
        std::fwrite(pData, 1, nSize, pFile);
        std::fclose(pFile);
    }
    {
        CIniProfile ini(strPath);
        const int nUpperCase = ini.GetProfileInt("Tx", "UpperCase", 1);
        const std::string strMessage = ini.GetProfileString("XmitMessages", "Message0", "");
        CHarmlessProfile profile(ini);
        CRecordingHost host;
        CSkrivelDoc doc(profile, host);
        doc.OnNewDocument();
        if (doc.m_bUpperCase != (nUpperCase != 0) || doc.m_strXmitMessages[0] != strMessage)
            std::abort();
        doc.OnTransmit();
        for (int i = 0; i < 4; ++i)
            doc.Tick();
        doc.OnCloseDocument();
    }
    std::remove(strPath.c_str());
    return 0;
}
