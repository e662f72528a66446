#pragma once

#include "MemoryProfile.h"
#include "RecordingHost.h"

#include "doc/SkrivelDoc.h"

// A document with no port and no font file, over a memory profile: the engine on its own.
struct CHeadlessDoc
{
    explicit CHeadlessDoc(IRxDisplay* pDisplay = nullptr)
    {
        profile.Set("Comm", "Port", "");
        profile.Set("Tx", "FontFileName", "/nonexistent/font.hlf");
        doc.SetRxDisplay(pDisplay);
        doc.OnNewDocument();
    }
    CMemoryProfile profile;
    CRecordingHost host;
    CSkrivelDoc doc{profile, host};
};
