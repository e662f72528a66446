#pragma once

#include "doc/SkrivelDoc.h"
#include "link/PortFactory.h"
#include "station/SoundCardPort.h"

#include <memory>
#include <string>

namespace TestSoundCard
{
// Makes the document's sound card on a null sink of the test's own sound server (its monitor the
// input), with the stored tone and mode as the program does; other ports as usual.
inline void Install(CSkrivelDoc& doc, const std::string& strSink)
{
    doc.SetPortFactory(
        [&doc, strSink](const std::string& strName) -> std::unique_ptr<IPort>
        {
            if (strName != CSkrivelDoc::kSoundCardPort)
                return PortFactory::Create(strName);
            CSoundCardSettings settings;
            settings.m_strInputDevice = strSink + ".monitor";
            settings.m_strOutputDevice = strSink;
            settings.m_nToneHz = settings.m_nTxToneHz = doc.GetToneHz();
            settings.m_nMode = doc.GetStoredMode();
            return std::make_unique<CSoundCardPort>(settings);
        });
}
} // namespace TestSoundCard
