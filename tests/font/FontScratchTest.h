#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

// A fresh directory per test, removed afterwards, and a helper to write a file into it.
class FontScratchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Dir = std::filesystem::temp_directory_path() /
                ("skrivel-font-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_Dir);
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_Dir); }

    std::string PathOf(const std::string& strName) const { return (m_Dir / strName).string(); }

    std::string WriteFile(const std::string& strName, const std::string& strBytes) const
    {
        const std::string strPath = PathOf(strName);
        std::filesystem::create_directories(std::filesystem::path(strPath).parent_path());
        std::ofstream(strPath, std::ios::binary) << strBytes;
        return strPath;
    }

    std::filesystem::path m_Dir;
};
