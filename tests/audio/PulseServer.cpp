#include "PulseServer.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace
{
bool TakesConnections(const std::string& strSocket)
{
    const int hSocket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, strSocket.c_str(), sizeof address.sun_path - 1);
    const bool bConnected = connect(hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(hSocket);
    return bConnected;
}

// Runs pactl with these arguments against the daemon; gives what it printed, and whether it succeeded.
bool Pactl(const std::string& strArguments, std::string& strOut)
{
    FILE* pPipe = popen(("pactl " + strArguments + " 2>&1").c_str(), "r");
    if (pPipe == nullptr)
        return false;
    char buffer[256];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pPipe))
        strOut.append(buffer, n);
    return pclose(pPipe) == 0;
}
} // namespace

CPulseServer::CPulseServer()
{
    char szDir[] = "/tmp/skrivel-pulse-XXXXXX";
    m_strDir = mkdtemp(szDir);
    setenv("HOME", m_strDir.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", m_strDir.c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + m_strDir + "/pulse.sock").c_str(), 1);
}

CPulseServer::~CPulseServer()
{
    Stop();
    std::error_code error;
    std::filesystem::remove_all(m_strDir, error);
}

bool CPulseServer::Start()
{
    const std::string strSocket = m_strDir + "/pulse.sock";
    const std::string strProtocol = "module-native-protocol-unix socket=" + strSocket + " auth-anonymous=1";
    const std::string strLog = m_strDir + "/pulse.log";
    m_nPid = fork();
    if (m_nPid == 0)
    {
        const int hLog = open(strLog.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(hLog, STDOUT_FILENO);
        dup2(hLog, STDERR_FILENO);
        execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--system=no", "--exit-idle-time=-1",
               "-L", strProtocol.c_str(), nullptr);
        _exit(127);
    }
    for (int i = 0; i < 500 && m_nPid > 0; ++i)
    {
        if (TakesConnections(strSocket))
            return true;
        if (waitpid(m_nPid, nullptr, WNOHANG) == m_nPid)
            m_nPid = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    return false;
}

void CPulseServer::Stop()
{
    if (m_nPid <= 0)
        return;
    kill(m_nPid, SIGTERM);
    waitpid(m_nPid, nullptr, 0);
    m_nPid = -1;
}

int CPulseServer::LoadNullSink(const std::string& strName, const std::string& strDescription)
{
    std::string strOut;
    if (!Pactl("load-module module-null-sink sink_name=" + strName +
                   " rate=8000 \"sink_properties='device.description=\\\"" + strDescription + "\\\"'\"",
               strOut))
        return -1;
    return std::atoi(strOut.c_str());
}

bool CPulseServer::UnloadModule(int nModule)
{
    std::string strOut;
    return Pactl("unload-module " + std::to_string(nModule), strOut);
}

std::string CPulseServer::GetLog() const
{
    std::ifstream file(m_strDir + "/pulse.log");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
