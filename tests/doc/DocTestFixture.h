#pragma once

#include "MemoryProfile.h"
#include "RecordingHost.h"
#include "RecordingRxDisplay.h"
#include "TestFont.h"

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
// The port defaults to none, so no I/O thread runs unless a test asks for one. The font's data
// directory is a second temporary directory, holding a font the fixture makes.
class DocTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Dir = std::filesystem::temp_directory_path() /
                ("skrivel-doc-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_DataDir = m_Dir.string() + "-data";
        for (const std::filesystem::path& dir : {m_Dir, m_DataDir})
        {
            std::filesystem::remove_all(dir);
            std::filesystem::create_directories(dir);
        }
        TestFont::Write((m_DataDir / "hellfont.hlf").string());
        m_Profile.Set("Comm", "Port", "");
    }
    void TearDown() override
    {
        m_pDoc.reset();
        std::filesystem::remove_all(m_Dir);
        std::filesystem::remove_all(m_DataDir);
    }

    CSkrivelDoc& NewDoc()
    {
        m_pDoc = std::make_unique<CSkrivelDoc>(m_Profile, m_Host);
        m_pDoc->SetFontDataDirs({m_DataDir.string()});
        m_pDoc->SetRxDisplay(&m_Display);
        EXPECT_TRUE(m_pDoc->OnNewDocument());
        return *m_pDoc;
    }

    std::string PathOf(const std::string& strName) const { return (m_Dir / strName).string(); }

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    CRecordingRxDisplay m_Display;
    std::filesystem::path m_Dir;
    std::filesystem::path m_DataDir;
    std::unique_ptr<CSkrivelDoc> m_pDoc;
};
