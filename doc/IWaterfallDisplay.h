#pragma once

struct CSpectrumLine;

// The waterfall, as the document feeds it with what a port that hears audio hears.
class IWaterfallDisplay
{
public:
    virtual ~IWaterfallDisplay() = default;

    // Draw the next line, below the tones as they are now.
    virtual void AddSpectrumLine(const CSpectrumLine& line) = 0;
};
