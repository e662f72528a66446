#pragma once

#include <cstdint>
#include <string>

class CTxByteFifo;

// The board's end of a pseudo-terminal: Skrivel opens the other end (the device path, or a
// symbolic link to it) as its serial port. The board holds that end open itself as well, so the
// terminal never hangs up when Skrivel closes the port, keeps it raw so every byte passes
// unchanged, and releases its exclusive flag when no program holds the port. Level bytes that
// nobody reads are thrown away after a second, so a program that reopens the port gets fresh ones.
class CPtyPort
{
public:
    static constexpr int kMaxBacklog = 490; // one second of level bytes

    CPtyPort() = default;
    ~CPtyPort();
    CPtyPort(const CPtyPort&) = delete;
    CPtyPort& operator=(const CPtyPort&) = delete;

    // False, with GetError, when no pseudo-terminal can be had.
    bool Open();
    const std::string& GetDevicePath() const { return m_strDevice; }
    // Keeps a symbolic link to the device at strPath, removed again by the destructor. An
    // existing link there into /dev/pts/ (an earlier board's) is replaced; any other link or file
    // is left alone and refused.
    bool SetLink(const std::string& strPath);
    const std::string& GetError() const { return m_strError; }

    // Takes whatever Skrivel has written, without waiting.
    void ReadTx(CTxByteFifo& fifo);
    // Sends one level byte, without waiting.
    void WriteLevel(std::uint8_t nLevel);
    // Once a second or so: when no program holds the port (its lock), puts the terminal back to
    // raw and frees its exclusive flag, so that the next open finds it as the first did.
    void Maintain();
    // Whether a program holds the port (has it open, with its lock).
    bool IsHeld() const;
    std::uint64_t GetDiscarded() const { return m_nDiscarded; }

private:
    void MakeRaw();

    int m_hMaster = -1;
    int m_hSlave = -1;
    std::string m_strDevice;
    std::string m_strLink;
    std::string m_strError;
    std::uint64_t m_nDiscarded = 0; // level bytes flushed unread or refused by a full terminal
};
