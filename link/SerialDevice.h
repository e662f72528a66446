#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// The serial device to the board, over POSIX termios: raw 8N1 at 19200 baud without flow control,
// DTR and RTS raised, one-byte reads that wait at most 200 ms, blocking one-byte writes. The
// device is held exclusively (TIOCEXCL and a flock) while open.
namespace SerialDevice
{
constexpr int kInvalid = -1;
// How long one read waits for a byte.
constexpr std::chrono::milliseconds kReadTimeout{200};

enum class ReadResult
{
    Byte,    // one byte was read
    Nothing, // no byte came (a time-out, or a read that gave up early)
    Lost,    // the device has gone away (hung up, unplugged): it will deliver nothing more
};

// Why Open refused a device it could open; told apart from errno values, which are positive.
constexpr int kOwnedByAnotherUser = -1;  // neither the operator's nor root's
constexpr int kControllingTerminal = -2; // the terminal some program runs in

// Opens and configures the device; returns the descriptor, or kInvalid with the errno of the
// failure (or one of the refusals above) in nError. A device that another program holds, that is
// no terminal, that belongs to another user or that is some program's controlling terminal is
// refused, and left exactly as it was.
int Open(const std::string& strPath, int& nError);
void Close(int hDevice);
ReadResult ReadByte(int hDevice, std::uint8_t& nByte);
// Blocks until the byte is written; a device that cannot take it within one read time-out
// loses it. A failure is left to the next read to notice.
void WriteByte(int hDevice, std::uint8_t nByte);
} // namespace SerialDevice
