#pragma once

#include "link/PttStatus.h"
#include "link/HellModeNames.h"

#include <cstdint>
#include <stop_token>
#include <string>

// How a selected port stands. Every state but NoPort is a port's own; NoPort is the link's when
// none is selected.
enum class EPortState
{
    NoPort,  // nothing selected
    Open,    // the device is in use
    Waiting, // selected but not opened yet: looked for again while the thread runs
    Lost,    // it was open and went away: looked for again while the thread runs
};

// The device the I/O thread reads level bytes from and writes transmit items to: a serial board,
// the simulated DUMMY port, a sound card. The port paces the slots itself, each read blocking for
// as long as one slot lasts on that device. The operator's thread makes and opens a port before
// the I/O thread starts and destroys it after the thread has ended; in between only the I/O
// thread calls ReadSlot, CanTransmit and Transmit, and any thread may ask for the state.
class CAudioTuning;

class IPort
{
public:
    virtual ~IPort() = default;

    // The name the operator gave it ("COM1", "DUMMY", a device path).
    virtual const std::string& GetName() const = 0;
    // Opens the device. False when it is not there or refuses: the port is then Waiting, and
    // GetDeviceError says why.
    virtual bool Open() = 0;
    // Open, Waiting or Lost. Safe from any thread.
    virtual EPortState GetState() const = 0;
    // Why the device was refused when it was last opened or looked for, as a code of the port's
    // kind (an errno, say); 0 when it is open or was never tried. Safe from any thread.
    virtual int GetDeviceError() const = 0;
    // GetDeviceError in the operator's words; empty for 0. Safe from any thread.
    virtual std::string GetDeviceErrorText() const = 0;

    // One read slot: waits, at the device's pace, for the next level byte and gives it; a slot
    // without one gives 0. Returns within the slot once a stop is requested.
    virtual std::uint32_t ReadSlot(std::stop_token stop) = 0;
    // Whether the port takes an item at this transmit slot, a filler if none is queued: a missing
    // device takes none, so that the items, and the text behind them, wait for it.
    virtual bool CanTransmit() const = 0;
    // Sends one transmit item; only its low byte goes to a board.
    virtual void Transmit(std::uint32_t nItem) = 0;
    // Whether the port takes another item now if one is queued (never a filler). A board takes
    // one a slot; a sound card takes them ahead to keep its output fed.
    virtual bool WantsAnotherItem() const { return false; }
    // Drops what the port has taken but not yet sent, and what is still queued for the
    // transmitter, so that it falls silent at once. A board sends what it was given. Safe from
    // any thread.
    virtual void FlushTransmit() {}
    // The times the transmitted audio ran dry since the port was made: each a hole in it. Safe
    // from any thread.
    virtual int GetUnderruns() const { return 0; }
    // Transmit items the port plays a second, at its mode's pace: Feld-Hell's for a board and
    // DUMMY. Safe from any thread.
    virtual int GetItemRate() const { return HellModeNames::kFeldHellItemRate; }
    // The tones, AFC and spectra of a port that hears audio (a sound card); null for a board and
    // DUMMY. It lives as long as the port. Safe from any thread.
    virtual CAudioTuning* GetAudioTuning() { return nullptr; }
    // The keying of the transmitter, where the port keys it (a sound card through the rig). A
    // transmission whose transmitter could not be keyed is dropped as by FlushTransmit and counted.
    // Safe from any thread.
    virtual CPttStatus GetPttStatus() const { return {}; }
};
