#pragma once

// The transmit text, as the heartbeat sees it.
class IXmitSource
{
public:
    virtual ~IXmitSource() = default;

    // The next unsent character (0..255) and whether it goes out as Morse, or -1 when nothing is
    // left. The character handed out counts as sent from now on.
    virtual void GetNextXmitChar(int& ch, bool& morse) = 0;
    // Deletes the text that has not been handed out yet.
    virtual void ClearUnsentText() = 0;
};
