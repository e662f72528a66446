#include "link/LinkQueues.h"
#include "link/SerialDevice.h"
#include "link/SerialLink.h"
#include "tests/link/LinkTestUtil.h"
#include "tests/link/PseudoTerminal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace
{
using ::testing::HasSubstr;
using namespace std::chrono_literals;

enum class EForeign
{
    SomeonesTerminal,   // the controlling terminal of another process
    AnotherUsersDevice, // owned by a user who is neither the operator nor root
};
constexpr EForeign kForeignKinds[] = {EForeign::SomeonesTerminal, EForeign::AnotherUsersDevice};
constexpr uid_t kNobody = 65534;

// A pseudo-terminal that is not the board, still as fresh as openpty made it (cooked, echoing).
// Release makes it an ordinary one of the operator's.
class CForeignTerminal
{
public:
    explicit CForeignTerminal(EForeign kind)
    {
        if (kind == EForeign::AnotherUsersDevice)
            m_bReady = chown(m_Terminal.GetSlavePath().c_str(), kNobody, kNobody) == 0;
        else
            StartSession();
    }
    ~CForeignTerminal() { Release(); }
    CForeignTerminal(const CForeignTerminal&) = delete;
    CForeignTerminal& operator=(const CForeignTerminal&) = delete;

    // False when it could not be made so here (owners change only for root).
    bool IsReady() const { return m_bReady; }
    const std::string& GetPath() const { return m_Terminal.GetSlavePath(); }
    const CPseudoTerminal& GetTerminal() const { return m_Terminal; }

    void Release()
    {
        if (m_hRelease >= 0)
        {
            close(m_hRelease);
            waitpid(m_Session, nullptr, 0);
            m_hRelease = -1;
        }
        else if (m_bReady)
            chown(GetPath().c_str(), geteuid(), getegid());
    }

    // The settings a takeover would have changed.
    bool IsUntouched() const
    {
        termios now{};
        tcgetattr(m_Terminal.GetSlave(), &now);
        return now.c_lflag == m_Fresh.c_lflag && now.c_iflag == m_Fresh.c_iflag &&
               now.c_cflag == m_Fresh.c_cflag && now.c_cc[VTIME] == m_Fresh.c_cc[VTIME];
    }

private:
    // A process in a session of its own opens the terminal without O_NOCTTY, as a shell in a
    // terminal window does, and keeps it until Release.
    void StartSession()
    {
        int hReady[2] = {-1, -1};
        int hRelease[2] = {-1, -1};
        if (pipe(hReady) != 0 || pipe(hRelease) != 0)
            return;
        m_Session = fork();
        if (m_Session == 0)
        {
            for (int h = 3; h < 1024; ++h)
            {
                if (h != hReady[1] && h != hRelease[0])
                    close(h);
            }
            setsid();
            char cOpened = open(GetPath().c_str(), O_RDWR) >= 0 ? 1 : 0;
            [[maybe_unused]] ssize_t n = write(hReady[1], &cOpened, 1);
            n = read(hRelease[0], &cOpened, 1);
            _exit(0);
        }
        close(hReady[1]);
        close(hRelease[0]);
        char cOpened = 0;
        m_bReady = m_Session > 0 && read(hReady[0], &cOpened, 1) == 1 && cOpened == 1;
        close(hReady[0]);
        m_hRelease = hRelease[1];
    }

    CPseudoTerminal m_Terminal;
    termios m_Fresh = [this]
    {
        termios settings{};
        tcgetattr(m_Terminal.GetSlave(), &settings);
        return settings;
    }();
    bool m_bReady = false;
    pid_t m_Session = -1;
    int m_hRelease = -1;
};

int RefusalOf(EForeign kind)
{
    return kind == EForeign::SomeonesTerminal ? SerialDevice::kControllingTerminal
                                              : SerialDevice::kOwnedByAnotherUser;
}

std::string ReasonOf(EForeign kind)
{
    return kind == EForeign::SomeonesTerminal ? "is the terminal of a running program, not a board"
                                              : "belongs to another user (nobody)";
}

TEST(ForeignTerminal, IsRefusedWithItsReasonAndLeftAsItWas)
{
    for (const EForeign kind : kForeignKinds)
    {
        CForeignTerminal foreign(kind);
        if (!foreign.IsReady())
        {
            EXPECT_EQ(EForeign::AnotherUsersDevice, kind) << "only root can give a terminal away";
            continue;
        }
        SCOPED_TRACE(ReasonOf(kind));
        int nError = 0;
        EXPECT_EQ(SerialDevice::kInvalid, SerialDevice::Open(foreign.GetPath(), nError));
        EXPECT_EQ(RefusalOf(kind), nError);

        CLinkQueues queues;
        CSerialLink link(queues);
        EXPECT_FALSE(link.OpenPort(foreign.GetPath()));
        EXPECT_THAT(link.GetOpenErrorText(), HasSubstr(foreign.GetPath() + " " + ReasonOf(kind)));
        EXPECT_TRUE(foreign.IsUntouched());

        // Once the terminal is nobody else's it is an ordinary one.
        foreign.Release();
        EXPECT_TRUE(link.OpenPort(foreign.GetPath())) << link.GetOpenErrorText();
    }
}

TEST(ForeignTerminal, IsNotTakenOverWhenALostDevicesNameComesToNameIt)
{
    for (const EForeign kind : kForeignKinds)
    {
        CLinkQueues queues;
        CSerialLink link(queues);
        const std::filesystem::path port = LinkTest::MakeScratchDir("skrivel-foreign-terminal") / "board";
        {
            CPseudoTerminal board;
            LinkTest::PointLink(port, board.GetSlavePath());
            ASSERT_TRUE(link.OpenPort(port)) << link.GetOpenErrorText();
        } // the board dies and leaves its link behind

        // The system gives the terminal's number to someone else (here the link is moved to it).
        CForeignTerminal foreign(kind);
        if (!foreign.IsReady())
        {
            EXPECT_EQ(EForeign::AnotherUsersDevice, kind) << "only root can give a terminal away";
            continue;
        }
        SCOPED_TRACE(ReasonOf(kind));
        LinkTest::PointLink(port, foreign.GetPath());
        EXPECT_TRUE(LinkTest::WaitUntil([&] { return link.GetDeviceError() == RefusalOf(kind); }));
        EXPECT_EQ(CSerialLink::EState::Lost, link.GetState());
        EXPECT_TRUE(foreign.IsUntouched());
        EXPECT_TRUE(foreign.GetTerminal().Read(1, 0ms).empty()); // nothing transmitted to it

        foreign.Release();
        EXPECT_TRUE(LinkTest::WaitUntil([&] { return link.GetState() == CSerialLink::EState::Open; }));
        link.ClosePort();
        std::filesystem::remove_all(port.parent_path());
    }
}
} // namespace
