#include "BoardTestUtil.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace
{
std::string TempPath(const std::string& strName)
{
    return (std::filesystem::temp_directory_path() /
            ("skrivel-prog-" + std::to_string(getpid()) + "-" + strName))
        .string();
}
} // namespace

TEST(BoardProgram, ReadsAPictureFileBackAsText)
{
    const std::string strPath = TempPath("picture.hel");
    const std::vector<std::uint8_t> picture = PictureOf("  SAVED PICTURE 73  ", 61);
    std::ofstream(strPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(picture.data()), static_cast<std::streamsize>(picture.size()));
    const std::string strOut = RunAndRead(std::string(SKRIVEL_BOARD_PROGRAM) + " --font " +
                                          SKRIVEL_BUNDLED_FONT + " --read " + strPath);
    EXPECT_EQ(strOut.substr(0, strOut.find('\n')).find("SAVED PICTURE 73"), 2u) << strOut;
    // One line per cell after the heading: the cell of the S starts 61 samples in, row 5, column 2.
    EXPECT_NE(strOut.find("\n2 453.00 5 2 1.00 83\n"), std::string::npos) << strOut;
    std::filesystem::remove(strPath);
}

// Fills a pipe to the last byte: whoever writes to it next waits until it is read.
void FillPipe(int hWrite)
{
    fcntl(hWrite, F_SETFL, O_NONBLOCK);
    const char cByte = 'x';
    while (write(hWrite, &cByte, 1) == 1)
    {
    }
    fcntl(hWrite, F_SETFL, 0);
}

TEST(BoardProgram, KeepsItsLinkWhileRunningAndRemovesItWhenStoppedAtAnyMoment)
{
    const std::string strLink = TempPath("port");
    // The board's output goes to a full pipe: it waits on its first line, printed just after the
    // link is made, for as long as the pipe is not read. The stop comes while it waits.
    int hOut[2] = {-1, -1};
    ASSERT_EQ(pipe2(hOut, O_CLOEXEC), 0);
    FillPipe(hOut[1]);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
    {
        dup2(hOut[1], STDOUT_FILENO);
        execl(SKRIVEL_BOARD_PROGRAM, SKRIVEL_BOARD_PROGRAM, "--font", SKRIVEL_BUNDLED_FONT, "--link",
              strLink.c_str(), nullptr);
        _exit(127);
    }
    close(hOut[1]);
    for (int i = 0; i < 200 && !std::filesystem::is_symlink(strLink); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(std::filesystem::is_symlink(strLink));
    EXPECT_EQ(std::filesystem::read_symlink(strLink).string().rfind("/dev/pts/", 0), 0u);
    kill(pid, SIGTERM);
    char buffer[4096];
    while (read(hOut[0], buffer, sizeof buffer) > 0)
    {
    }
    close(hOut[0]);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    EXPECT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(strLink)));
}

TEST(BoardProgram, SaysWhatIsWrongWithItsCommandLine)
{
    const std::string strOut = RunAndRead(std::string(SKRIVEL_BOARD_PROGRAM) + " --snr loud 2>&1");
    EXPECT_NE(strOut.find("Bad value for --snr: loud"), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("Usage: skrivel-board"), std::string::npos);
}
