#pragma once

#include "tests/link/PseudoTerminal.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

// A board that sends one level byte every period on the master side of a pseudo-terminal, paced
// by absolute deadlines like a UART, and takes in whatever the link sends back.
class CBoardFeeder
{
public:
    CBoardFeeder(const CPseudoTerminal& terminal, std::chrono::nanoseconds period, std::uint8_t nLevel)
        : m_Terminal(terminal), m_Period(period), m_nLevel(nLevel), m_Thread([this] { Run(); })
    {
    }
    ~CBoardFeeder()
    {
        m_bStop = true;
        m_Thread.join();
    }
    CBoardFeeder(const CBoardFeeder&) = delete;
    CBoardFeeder& operator=(const CBoardFeeder&) = delete;

    std::size_t GetReceived() const { return m_nReceived; }

private:
    void Run()
    {
        auto tNext = std::chrono::steady_clock::now();
        while (!m_bStop)
        {
            m_nReceived += m_Terminal.Read(4096, std::chrono::milliseconds(0)).size();
            std::this_thread::sleep_until(tNext);
            tNext += m_Period;
            m_Terminal.TryWrite(m_nLevel);
        }
    }

    const CPseudoTerminal& m_Terminal;
    const std::chrono::nanoseconds m_Period;
    const std::uint8_t m_nLevel;
    std::atomic<bool> m_bStop{false};
    std::atomic<std::size_t> m_nReceived{0};
    std::thread m_Thread;
};
