#include "RigServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace
{
sockaddr_in Loopback(int nPort)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port nobody listens on now: the system's choice for a socket bound to port 0.
int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t nLength = sizeof address;
    int nPort = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &nLength) == 0)
        nPort = ntohs(address.sin_port);
    ::close(fd);
    return nPort;
}

bool Answers(int nPort)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(nPort);
    const bool bConnected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bConnected;
}
} // namespace

CRigServer::~CRigServer()
{
    Resume();
    Kill();
}

bool CRigServer::Start()
{
    if (m_nPort == 0)
        m_nPort = FreePort();
    const std::string strPort = std::to_string(m_nPort);
    const pid_t nParent = ::getpid();
    m_nPid = ::fork();
    if (m_nPid == 0)
    {
        // It ends with the test, however the test ends, and holds none of its descriptors (a
        // lock that the test's runner holds, say).
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != nParent)
            ::_exit(127);
        const int hNull = ::open("/dev/null", O_WRONLY);
        ::dup2(hNull, STDOUT_FILENO);
        ::dup2(hNull, STDERR_FILENO);
        ::closefrom(STDERR_FILENO + 1);
        // Without -P RIG the dummy rig refuses PTT.
        ::execlp("rigctld", "rigctld", "-m", "1", "-P", "RIG", "-T", "127.0.0.1", "-t", strPort.c_str(),
                 nullptr);
        ::_exit(127);
    }
    for (int i = 0; i < 500 && m_nPid > 0; ++i)
    {
        if (Answers(m_nPort))
            return true;
        if (::waitpid(m_nPid, nullptr, WNOHANG) == m_nPid)
            m_nPid = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Kill();
    return false;
}

void CRigServer::Kill()
{
    if (m_nPid < 0)
        return;
    ::kill(m_nPid, SIGKILL);
    ::waitpid(m_nPid, nullptr, 0);
    m_nPid = -1;
}

void CRigServer::Pause()
{
    if (m_nPid >= 0)
        ::kill(m_nPid, SIGSTOP);
}

void CRigServer::Resume()
{
    if (m_nPid >= 0)
        ::kill(m_nPid, SIGCONT);
}

std::string CRigServer::GetAddress() const
{
    return "127.0.0.1:" + std::to_string(m_nPort);
}

std::string CRigServer::RunRigctl(const std::string& strCommand) const
{
    const std::string strLine = "rigctl -m 2 -r " + GetAddress() + " " + strCommand + " 2>/dev/null";
    FILE* pPipe = ::popen(strLine.c_str(), "r");
    if (pPipe == nullptr)
        return {};
    std::string strOutput;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pPipe) != nullptr)
        strOutput += buffer;
    return ::pclose(pPipe) == 0 ? strOutput : std::string();
}

int CRigServer::ReadPtt() const
{
    const std::string strOutput = RunRigctl("t");
    if (strOutput.empty())
        return -1;
    return strOutput.front() == '1' ? 1 : strOutput.front() == '0' ? 0 : -1;
}

bool CRigServer::SetPtt(bool bKeyed) const
{
    RunRigctl(bKeyed ? "T 1" : "T 0");
    return ReadPtt() == (bKeyed ? 1 : 0);
}
