// A day of reception fed through the heartbeat as fast as it goes: memory must track the stored
// bytes closely, and the day must survive a save and a load exactly.

#include "CountingRxDisplay.h"
#include "HeadlessDoc.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SKRIVEL_SANITIZED 1
#else
#define SKRIVEL_SANITIZED 0
#endif

namespace
{
constexpr std::size_t kSamplesPerSecond = 490;
constexpr std::size_t kDaySamples = 24 * 3600 * kSamplesPerSecond; // 42,336,000

std::size_t ResidentBytes()
{
    long nPages = 0;
    long nResident = 0;
    std::ifstream("/proc/self/statm") >> nPages >> nResident;
    return static_cast<std::size_t>(nResident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

std::uint8_t SampleAt(std::size_t i)
{
    return static_cast<std::uint8_t>((i * 2654435761u) >> 24);
}
} // namespace

TEST(DayOfReceptionTest, ADayIsStoredInBoundedMemoryAndRoundTripsThroughAFile)
{
    CCountingRxDisplay display;
    CHeadlessDoc headless(&display);
    CSkrivelDoc& doc = headless.doc;
    CLinkQueues& queues = doc.GetQueues();

    const std::size_t nBefore = ResidentBytes();
    std::vector<std::uint32_t> second;
    std::vector<std::uint32_t> sent;
    for (std::size_t nAt = 0; nAt < kDaySamples; nAt += kSamplesPerSecond)
    {
        second.clear();
        for (std::size_t i = nAt; i < nAt + kSamplesPerSecond; ++i)
            second.push_back(SampleAt(i));
        queues.AddRx(second);
        doc.Tick();
        sent.clear();
        queues.TakeAllTx(sent); // the board takes what was queued
    }
    const std::size_t nGrowth = ResidentBytes() - nBefore;

    ASSERT_EQ(doc.m_RxStore.GetByteCount(), kDaySamples);
    EXPECT_EQ(display.m_nColumns, kDaySamples / 28);
    EXPECT_EQ(display.m_nPages, kDaySamples / 6860);
    if (!SKRIVEL_SANITIZED) // the sanitizers' own bookkeeping would be counted too
    {
        EXPECT_LE(nGrowth, kDaySamples + kDaySamples / 10) << "grew by " << nGrowth << " bytes";
    }

    const std::string strPath =
        (std::filesystem::temp_directory_path() / ("skrivel-day-" + std::to_string(::getpid()) + ".hel"))
            .string();
    ASSERT_TRUE(doc.OnSaveDocument(strPath));
    EXPECT_EQ(std::filesystem::file_size(strPath), kDaySamples);

    CHeadlessDoc other;
    CSkrivelDoc& loaded = other.doc;
    ASSERT_TRUE(loaded.OnOpenDocument(strPath));
    std::filesystem::remove(strPath);
    ASSERT_EQ(loaded.m_RxStore.m_nRxPages, doc.m_RxStore.m_nRxPages);
    EXPECT_EQ(loaded.m_RxStore.m_nRxColumn, doc.m_RxStore.m_nRxColumn);
    EXPECT_EQ(loaded.m_RxStore.m_nRxRow, doc.m_RxStore.m_nRxRow);
    for (int nPage = 0; nPage < doc.m_RxStore.m_nRxPages; ++nPage)
        ASSERT_EQ(*loaded.m_RxStore.m_RxPages[nPage], *doc.m_RxStore.m_RxPages[nPage]) << nPage;
    EXPECT_EQ(headless.host.m_Messages.size(), 1u); // only the missing font
}
