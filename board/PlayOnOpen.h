#pragma once

#include "board/AudioStream.h"

#include <functional>
#include <string>

class CWavReader;

// A recording that starts when a program opens the board's port, so that none of it is lost to a
// program started late, and that says when it has ended. Until the port is opened it is silence.
class CPlayOnOpen : public IAudioSource
{
public:
    // Whether a program holds the port now.
    using OpenedQuery = std::function<bool()>;
    // Tells the operator where the recording stands.
    using Reporter = std::function<void(const std::string& strText)>;

    // The reader must outlive this.
    CPlayOnOpen(CWavReader& reader, OpenedQuery isOpened, Reporter report);

    void Read(float* pSamples, std::size_t nSamples) override;

private:
    CWavReader& m_Reader;
    OpenedQuery m_IsOpened;
    Reporter m_Report;
    std::size_t m_nUntilLook = 0; // samples before the port is looked at again
    bool m_bStarted = false;
    bool m_bEnded = false;
};
