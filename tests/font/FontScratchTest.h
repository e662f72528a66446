#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A fresh directory per test, removed afterwards, with helpers to write files into it.
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

    std::string WriteFile(const std::string& strName, const std::vector<std::uint8_t>& bytes) const
    {
        const std::string strPath = PathOf(strName);
        std::filesystem::create_directories(std::filesystem::path(strPath).parent_path());
        std::ofstream out(strPath, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return strPath;
    }

    std::string WriteText(const std::string& strName, const std::string& strText) const
    {
        return WriteFile(strName, std::vector<std::uint8_t>(strText.begin(), strText.end()));
    }

    std::filesystem::path m_Dir;
};
