#include "DocTestFixture.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <fstream>
#include <iterator>

namespace
{
std::string Pattern(std::size_t nBytes)
{
    std::string strData(nBytes, '\0');
    for (std::size_t i = 0; i < nBytes; ++i)
        strData[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return strData;
}

std::size_t FilesIn(const std::filesystem::path& dir)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}
} // namespace

TEST_F(DocTest, SavingAnEmptyStoreWritesAnEmptyFile)
{
    CSkrivelDoc& doc = NewDoc();
    doc.StoreRxPixel(5, true);
    doc.OnClearRx();
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("empty.hel")));
    EXPECT_EQ(std::filesystem::file_size(PathOf("empty.hel")), 0u);
    EXPECT_EQ(doc.GetPathName(), PathOf("empty.hel"));
}

TEST_F(DocTest, TwentyNineBytesLoadAsOneColumnAndOnePixelAndSaveBackUnchanged)
{
    const std::string strData = Pattern(29);
    WriteFile(PathOf("in.hel"), strData);
    CSkrivelDoc& doc = NewDoc();
    ASSERT_TRUE(doc.OnOpenDocument(PathOf("in.hel")));
    EXPECT_EQ(doc.m_RxStore.m_nRxPages, 1);
    EXPECT_EQ(doc.m_RxStore.m_nRxColumn, 1);
    EXPECT_EQ(doc.m_RxStore.m_nRxRow, 1);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("out.hel")));
    EXPECT_EQ(ReadFile(PathOf("out.hel")), strData);
}

TEST_F(DocTest, LoadingRebuildsPagesAndWritePositionWithoutPaintingUntilTheEnd)
{
    const std::string strData = Pattern(6860 * 2 + 30);
    WriteFile(PathOf("in.hel"), strData);
    CSkrivelDoc& doc = NewDoc();
    m_Display.m_Calls.clear();
    ASSERT_TRUE(doc.OnOpenDocument(PathOf("in.hel")));
    EXPECT_EQ(doc.m_RxStore.m_nRxPages, 3);
    EXPECT_EQ(doc.m_RxStore.m_nRxPage, 2);
    EXPECT_EQ(doc.m_RxStore.m_nRxColumn, 1);
    EXPECT_EQ(doc.m_RxStore.m_nRxRow, 2);
    EXPECT_EQ((*doc.m_RxStore.m_RxPages[1])[0], static_cast<std::uint8_t>(strData[6860]));
    EXPECT_EQ(m_Display.m_Calls, (std::vector<std::string>{"end", "update"}));

    ASSERT_TRUE(doc.OnSaveDocument(PathOf("in.hel")));
    EXPECT_EQ(ReadFile(PathOf("in.hel")), strData);
    // Data received after the load goes on from the loaded write position.
    doc.StoreRxPixel(1, true);
    EXPECT_EQ(doc.m_RxStore.m_nRxRow, 3);
}

TEST_F(DocTest, AnEmptyFileLoadsAsAnEmptyPicture)
{
    WriteFile(PathOf("empty.hel"), "");
    CSkrivelDoc& doc = NewDoc();
    doc.StoreRxPixel(9, true);
    ASSERT_TRUE(doc.OnOpenDocument(PathOf("empty.hel")));
    EXPECT_EQ(doc.m_RxStore.GetByteCount(), 0u);
    EXPECT_TRUE(m_Host.m_Messages.empty());
}

TEST_F(DocTest, AFileThatCannotBeOpenedLeavesTheStoreAndSaysWhy)
{
    CSkrivelDoc& doc = NewDoc();
    doc.StoreRxPixel(9, true);
    EXPECT_FALSE(doc.OnOpenDocument(PathOf("missing.hel")));
    EXPECT_FALSE(doc.OnOpenDocument(m_Dir.string()));
    const std::string strFifo = PathOf("fifo.hel");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    EXPECT_FALSE(doc.OnOpenDocument(strFifo)); // must neither block nor read without end
    EXPECT_FALSE(doc.OnOpenDocument("/dev/zero"));
    // A sparse file larger than the computer's memory is refused before anything is read.
    const std::string strHuge = PathOf("huge.hel");
    {
        std::ofstream(strHuge, std::ios::binary) << "x";
    }
    std::filesystem::resize_file(strHuge, static_cast<std::uintmax_t>(::sysconf(_SC_PHYS_PAGES)) *
                                              static_cast<std::uintmax_t>(::sysconf(_SC_PAGESIZE)));
    EXPECT_FALSE(doc.OnOpenDocument(strHuge));

    EXPECT_EQ(doc.m_RxStore.GetByteCount(), 1u);
    ASSERT_EQ(m_Host.m_Messages.size(), 5u);
    EXPECT_EQ(m_Host.m_Messages[0],
              PathOf("missing.hel") +
                  "\nCannot find this file.\nPlease verify that the correct path and file "
                  "name are given.");
    // The standard texts that do not name the file are followed by its name and the reason.
    EXPECT_EQ(m_Host.m_Messages[1], "Invalid filename.");
    EXPECT_EQ(m_Host.m_Details[1], m_Dir.string() + ": Is a directory");
    EXPECT_EQ(m_Host.m_Messages[2], "Failed to open document.");
    EXPECT_EQ(m_Host.m_Details[2], strFifo + ": Not a regular file");
    EXPECT_EQ(m_Host.m_Messages[4],
              "Unable to load " + strHuge + ": the file is larger than this computer's memory.");
    EXPECT_EQ(doc.GetPathName(), "");
}

TEST_F(DocTest, ASaveThatFailsPartWayLeavesThePreviousFileIntact)
{
    const std::string strOld = Pattern(100);
    WriteFile(PathOf("old.hel"), strOld);
    CSkrivelDoc& doc = NewDoc();
    for (std::size_t i = 0; i < 200000; ++i)
        doc.StoreRxPixel(static_cast<std::uint8_t>(i), false);

    // A file size limit makes the write fail part way, as a full disk would, even for root.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 65536;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool bSaved = doc.OnSaveDocument(PathOf("old.hel"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(bSaved);
    EXPECT_EQ(ReadFile(PathOf("old.hel")), strOld);
    EXPECT_EQ(FilesIn(m_Dir), 1u); // no half-written file left beside it
    ASSERT_EQ(m_Host.m_Messages.size(), 1u);
    EXPECT_EQ(m_Host.m_Messages[0], "Destination disk drive is full.");
    EXPECT_EQ(m_Host.m_Details[0], PathOf("old.hel") + ": File too large");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), "");
}

TEST_F(DocTest, SavingIntoAMissingDirectoryFailsWithTheStandardMessage)
{
    CSkrivelDoc& doc = NewDoc();
    EXPECT_FALSE(doc.OnSaveDocument(PathOf("no/such/dir.hel")));
    ASSERT_EQ(m_Host.m_Messages.size(), 1u);
    EXPECT_NE(m_Host.m_Messages[0].find("Cannot find this file."), std::string::npos);
}

TEST_F(DocTest, AReadErrorPartWayClearsTheStoreAndSaysSo)
{
    // Reading this process's memory from address 0 fails with an I/O error.
    CSkrivelDoc& doc = NewDoc();
    doc.StoreRxPixel(9, true);
    EXPECT_FALSE(doc.OnOpenDocument("/proc/self/mem"));
    EXPECT_EQ(doc.m_RxStore.GetByteCount(), 0u);
    EXPECT_EQ(doc.m_RxStore.m_nRxPages, 1);
    ASSERT_EQ(m_Host.m_Messages.size(), 1u);
    EXPECT_EQ(m_Host.m_Messages[0], "An unexpected error occurred while reading /proc/self/mem.");
    EXPECT_EQ(m_Host.m_Details[0], "Input/output error");
    EXPECT_EQ(doc.GetPathName(), "");
}
