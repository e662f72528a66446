// The rig against a rig server of the test's own (rigctld with hamlib's dummy rig), whose PTT
// rigctl reads back: keyed and released as asked, released whenever it could be left keyed, a
// server that goes away or stops answering counted as a failure without holding up the caller,
// and found again when it is back.

#include "RigTestUtil.h"

#include "rig/RigModels.h"
#include "rig/UnkeyOnCrash.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace
{
using namespace std::chrono_literals;

class RigTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_Server.Start()); }

    // The rig set to the server and in use, open and answering.
    void Connect()
    {
        m_Rig.Configure(NetRig(m_Server));
        m_Rig.AddUser();
        ASSERT_TRUE(Eventually([&] { return m_Rig.GetStatus().m_nState == CRigStatus::EState::Ready; }))
            << m_Rig.GetStatus().m_strError;
    }

    void Key()
    {
        const CRigStatus status = AwaitPtt(m_Rig, m_Rig.SetPtt(true));
        ASSERT_TRUE(status.m_bKeyed) << status.m_strError;
        ASSERT_EQ(m_Server.ReadPtt(), 1);
    }

    CRigServer m_Server;
    CRig m_Rig;
};
} // namespace

TEST_F(RigTest, KeysAndReleasesAndReadsTheFrequency)
{
    Connect();
    // The dummy rig starts on 145 MHz FM.
    EXPECT_TRUE(Eventually([&] { return m_Rig.GetStatus().m_strReading == "145.000000 MHz FM"; }))
        << m_Rig.GetStatus().m_strReading;
    Key();
    const CRigStatus status = AwaitPtt(m_Rig, m_Rig.SetPtt(false));
    EXPECT_FALSE(status.m_bKeyed);
    EXPECT_EQ(m_Server.ReadPtt(), 0);
    EXPECT_EQ(status.m_nFailures, 0);
}

TEST_F(RigTest, ReleasedWheneverItCouldBeLeftKeyed)
{
    // Opened, it releases a transmitter that something else left keyed.
    ASSERT_TRUE(m_Server.SetPtt(true));
    Connect();
    EXPECT_EQ(m_Server.ReadPtt(), 0);

    // The last user leaving.
    Key();
    m_Rig.RemoveUser();
    EXPECT_TRUE(Eventually([&] { return m_Rig.GetStatus().m_nState == CRigStatus::EState::Unused; }));
    EXPECT_EQ(m_Server.ReadPtt(), 0);

    // New settings: the rig left behind is released, the new one takes over the key.
    m_Rig.AddUser();
    Key();
    CRigServer other;
    ASSERT_TRUE(other.Start());
    m_Rig.Configure(NetRig(other));
    EXPECT_TRUE(Eventually([&] { return other.ReadPtt() == 1; }));
    EXPECT_EQ(m_Server.ReadPtt(), 0);
    m_Rig.RemoveUser();

    // The rig's end.
    {
        CRig rig;
        rig.Configure(NetRig(m_Server));
        rig.AddUser();
        const CRigStatus status = AwaitPtt(rig, rig.SetPtt(true));
        ASSERT_TRUE(status.m_bKeyed) << status.m_strError;
    }
    EXPECT_EQ(m_Server.ReadPtt(), 0);
}

TEST_F(RigTest, AServerThatGoesAwayFailsTheKeyAndIsFoundAgain)
{
    Connect();
    Key();
    m_Server.Kill();
    // Read once a second: the loss shows as a failure of the key that was wanted.
    ASSERT_TRUE(Eventually([&] { return m_Rig.GetStatus().m_nFailures == 1; }));
    CRigStatus status = m_Rig.GetStatus();
    EXPECT_EQ(status.m_nState, CRigStatus::EState::Absent);
    EXPECT_FALSE(status.m_bKeyed);
    EXPECT_NE(status.m_strError.find(m_Server.GetAddress()), std::string::npos) << status.m_strError;
    EXPECT_TRUE(status.m_strReading.empty());

    // A key asked for while it is away fails at once, with the reason.
    status = AwaitPtt(m_Rig, m_Rig.SetPtt(true));
    EXPECT_FALSE(status.m_bKeyed);
    EXPECT_EQ(status.m_nFailures, 2);
    m_Rig.SetPtt(false);

    ASSERT_TRUE(m_Server.Start());
    EXPECT_TRUE(Eventually([&] { return m_Rig.GetStatus().m_nState == CRigStatus::EState::Ready; }));
    Key();
}

TEST_F(RigTest, AServerThatStopsAnsweringHoldsUpNobody)
{
    Connect();
    m_Server.Pause();
    const std::uint64_t nRequest = m_Rig.SetPtt(true);
    // The request waits on the rig's thread for the time-out; the caller reads the status meanwhile.
    std::this_thread::sleep_for(200ms);
    const CRigStatus waiting = m_Rig.GetStatus();
    EXPECT_LT(waiting.m_nPttDone, nRequest);
    EXPECT_FALSE(waiting.m_bKeyed);
    const CRigStatus status = AwaitPtt(m_Rig, nRequest);
    EXPECT_FALSE(status.m_bKeyed);
    EXPECT_EQ(status.m_nFailures, 1);
    EXPECT_EQ(status.m_nState, CRigStatus::EState::Absent);
    m_Rig.SetPtt(false);
    m_Server.Resume();
    EXPECT_TRUE(Eventually([&] { return m_Rig.GetStatus().m_nState == CRigStatus::EState::Ready; }));
    EXPECT_EQ(m_Server.ReadPtt(), 0);
}

TEST_F(RigTest, TestPttKeysForAWhileWithoutAUser)
{
    m_Rig.Configure(NetRig(m_Server));
    m_Rig.TestPtt(1s);
    EXPECT_TRUE(Eventually([&] { return m_Server.ReadPtt() == 1; }));
    EXPECT_TRUE(Eventually([&] { return m_Server.ReadPtt() == 0; }));
    EXPECT_TRUE(Eventually([&] { return m_Rig.GetStatus().m_nState == CRigStatus::EState::Unused; }));
}

TEST(RigCrashTest, ACrashReleasesTheTransmitter)
{
    // No thread runs yet: the child starts the rig's.
    CRigServer server;
    ASSERT_TRUE(server.Start());
    const pid_t nChild = ::fork();
    ASSERT_GE(nChild, 0);
    if (nChild == 0)
    {
        CRig rig;
        CUnkeyOnCrash guard(rig);
        rig.Configure(NetRig(server));
        rig.AddUser();
        if (!AwaitPtt(rig, rig.SetPtt(true)).m_bKeyed)
            ::_exit(2);
        std::abort();
    }
    int nStatus = 0;
    ASSERT_EQ(::waitpid(nChild, &nStatus, 0), nChild);
    ASSERT_TRUE(WIFSIGNALED(nStatus)) << "the child could not key: " << nStatus;
    EXPECT_EQ(WTERMSIG(nStatus), SIGABRT);
    EXPECT_EQ(server.ReadPtt(), 0);
}

TEST(RigLineTest, APttLineOnADeviceWithoutOneFailsWithTheDevice)
{
    // A pseudo-terminal has no modem lines to set.
    int nMaster = -1;
    int nSlave = -1;
    char szName[64];
    ASSERT_EQ(::openpty(&nMaster, &nSlave, szName, nullptr, nullptr), 0);
    CRig rig;
    CRigSettings settings;
    settings.m_nPtt = ERigPtt::Rts;
    settings.m_strDevice = szName;
    rig.Configure(settings);
    rig.AddUser();
    const CRigStatus status = AwaitPtt(rig, rig.SetPtt(true));
    EXPECT_FALSE(status.m_bKeyed);
    EXPECT_EQ(status.m_nFailures, 1);
    EXPECT_NE(status.m_strError.find(szName), std::string::npos) << status.m_strError;
    rig.RemoveUser();
    ::close(nSlave);
    ::close(nMaster);
}

TEST(RigLineTest, WithoutAPttMethodTheRigIsLeftAlone)
{
    CRig rig;
    rig.AddUser();
    const CRigStatus status = AwaitPtt(rig, rig.SetPtt(true));
    EXPECT_EQ(status.m_nState, CRigStatus::EState::NoControl);
    EXPECT_FALSE(status.m_bKeyed);
    EXPECT_EQ(status.m_nFailures, 0);
}

TEST(RigModelsTest, HamlibsModelsByMakerWithTheRigServer)
{
    const std::vector<CRigModel> models = RigModels::GetAll();
    ASSERT_GT(models.size(), 100u);
    EXPECT_TRUE(std::is_sorted(models.begin(), models.end(),
                               [](const CRigModel& a, const CRigModel& b)
                               { return a.m_strMaker < b.m_strMaker; }));
    EXPECT_TRUE(std::any_of(models.begin(), models.end(),
                            [](const CRigModel& model) { return model.m_nModel == 2; }));
}
