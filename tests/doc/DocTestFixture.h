#pragma once

#include "MemoryProfile.h"
#include "RecordingHost.h"
#include "RecordingRxDisplay.h"

#include "doc/SkrivelDoc.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

inline std::string ReadFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& strPath, const std::string& strData)
{
    std::ofstream(strPath, std::ios::binary) << strData;
}

// A document over a memory profile and a recording host, with a fresh temporary directory.
// The port defaults to none, so no I/O thread runs unless a test asks for one.
class DocTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Dir = std::filesystem::temp_directory_path() /
                ("skrivel-doc-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_Dir);
        std::filesystem::create_directories(m_Dir);
        m_Profile.Set("Comm", "Port", "");
    }
    void TearDown() override
    {
        m_pDoc.reset();
        std::filesystem::remove_all(m_Dir);
    }

    CSkrivelDoc& NewDoc()
    {
        m_pDoc = std::make_unique<CSkrivelDoc>(m_Profile, m_Host);
        m_pDoc->SetRxDisplay(&m_Display);
        EXPECT_TRUE(m_pDoc->OnNewDocument());
        return *m_pDoc;
    }

    std::string PathOf(const std::string& strName) const { return (m_Dir / strName).string(); }

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CRecordingRxDisplay m_Display;
    std::filesystem::path m_Dir;
    std::unique_ptr<CSkrivelDoc> m_pDoc;
};
