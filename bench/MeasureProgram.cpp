// Measures the real program as a user runs it, one whole process at a time (bench/measure-program.sh
// runs it; the figures are in bench/README.md). Each run gets a fresh profile folder as
// XDG_CONFIG_HOME; the display is the caller's (DISPLAY, or QT_QPA_PLATFORM=offscreen).
//
//   measure_program startup RUNS SKRIVEL
//     Start-up: from just before the process is spawned to its first painted window, and shut-down:
//     from the close request (made by the program itself right after that paint, see
//     app/FirstPaintReport.h) to the process's exit. One unmeasured run first, then RUNS runs.
//   measure_program cpu SECONDS SKRIVEL [PORT] [--watch PID]...
//     CPU use while receiving: utime+stime of every thread over SECONDS, as a share of one core,
//     after the window is up and 2 s have settled. PORT goes into the profile's Comm/Port (DUMMY
//     without it). Each watched process (the software board, the X server) is reported as well.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace
{
namespace fs = std::filesystem;

constexpr char kPaintLine[] = "skrivel: first paint at ";
constexpr char kCloseLine[] = "skrivel: close requested at ";
constexpr auto kSettle = std::chrono::seconds(2);
constexpr auto kStartTimeout = std::chrono::seconds(30);

double MonotonicSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// ---- The program under test --------------------------------------------------------------------

// A profile folder of its own, removed again at the end.
class CProfileDir
{
public:
    explicit CProfileDir(const std::string& strPort)
    {
        char szTemplate[] = "/tmp/skrivel-measure-XXXXXX";
        if (mkdtemp(szTemplate) == nullptr)
        {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_strPath = szTemplate;
        if (strPort.empty())
            return;
        fs::create_directories(m_strPath + "/skrivel");
        std::ofstream(m_strPath + "/skrivel/skrivel.ini") << "[Comm]\nPort=" << strPort << "\n";
    }
    ~CProfileDir() { fs::remove_all(m_strPath); }
    CProfileDir(const CProfileDir&) = delete;
    CProfileDir& operator=(const CProfileDir&) = delete;
    const std::string& GetPath() const { return m_strPath; }

private:
    std::string m_strPath;
};

// Skrivel spawned with its standard error on a pipe that a thread of ours reads line by line.
class CRunningProgram
{
public:
    CRunningProgram(const std::string& strProgram, const std::string& strProfile, const char* pszReport)
    {
        std::vector<std::string> env;
        for (char** p = environ; *p != nullptr; ++p)
        {
            if (std::strncmp(*p, "XDG_CONFIG_HOME=", 16) != 0 && std::strncmp(*p, "SKRIVEL_REPORT_", 15) != 0)
                env.emplace_back(*p);
        }
        env.push_back("XDG_CONFIG_HOME=" + strProfile);
        env.push_back(std::string("SKRIVEL_REPORT_FIRST_PAINT=") + pszReport);
        std::vector<char*> envp;
        for (std::string& str : env)
            envp.push_back(str.data());
        envp.push_back(nullptr);
        std::string strArg0 = strProgram;
        char* argv[] = {strArg0.data(), nullptr};

        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
        {
            std::perror("pipe");
            std::exit(1);
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
        m_tSpawned = MonotonicSeconds();
        if (posix_spawn(&m_pid, strProgram.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        {
            std::perror(strProgram.c_str());
            std::exit(1);
        }
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        m_Reader = std::thread([this, fd = fds[0]] { ReadLines(fd); });
    }
    ~CRunningProgram()
    {
        if (!m_bExited)
        {
            kill(m_pid, SIGTERM);
            Wait();
        }
    }
    CRunningProgram(const CRunningProgram&) = delete;
    CRunningProgram& operator=(const CRunningProgram&) = delete;

    pid_t GetPid() const { return m_pid; }
    double GetSpawnTime() const { return m_tSpawned; }

    // The CLOCK_MONOTONIC time that the line starting with pszPrefix reports; none when the
    // program ended or kStartTimeout passed without it.
    std::optional<double> WaitForTime(const char* pszPrefix)
    {
        std::unique_lock lock(m_Lock);
        std::optional<double> tFound;
        m_LineAdded.wait_for(lock, kStartTimeout,
                             [&]
                             {
                                 tFound = FindTime(pszPrefix);
                                 return tFound.has_value() || m_bEof;
                             });
        return tFound;
    }

    // Waits for the exit; returns its time and the CPU seconds of the whole process.
    std::pair<double, double> Wait()
    {
        int nStatus = 0;
        rusage usage{};
        wait4(m_pid, &nStatus, 0, &usage);
        const double tExit = MonotonicSeconds();
        m_bExited = true;
        m_Reader.join();
        if (!WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0)
            m_strFailure = "exit status " + std::to_string(nStatus);
        const auto seconds = [](const timeval& t)
        { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
        return {tExit, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
    }

    const std::string& GetFailure() const { return m_strFailure; }
    std::string GetOutput()
    {
        std::scoped_lock lock(m_Lock);
        std::string strAll;
        for (const std::string& str : m_Lines)
            strAll += str + "\n";
        return strAll;
    }

private:
    void ReadLines(int fd)
    {
        std::string strPending;
        char buffer[4096];
        ssize_t nRead = 0;
        while ((nRead = read(fd, buffer, sizeof buffer)) > 0 || (nRead < 0 && errno == EINTR))
        {
            strPending.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(nRead, 0)));
            for (std::size_t nEnd; (nEnd = strPending.find('\n')) != std::string::npos;)
            {
                std::scoped_lock lock(m_Lock);
                m_Lines.push_back(strPending.substr(0, nEnd));
                strPending.erase(0, nEnd + 1);
                m_LineAdded.notify_all();
            }
        }
        close(fd);
        std::scoped_lock lock(m_Lock);
        m_bEof = true;
        m_LineAdded.notify_all();
    }

    std::optional<double> FindTime(const char* pszPrefix) const
    {
        for (const std::string& strLine : m_Lines)
        {
            if (strLine.rfind(pszPrefix, 0) == 0)
                return std::strtod(strLine.c_str() + std::strlen(pszPrefix), nullptr);
        }
        return std::nullopt;
    }

    pid_t m_pid = 0;
    double m_tSpawned = 0;
    bool m_bExited = false;
    std::string m_strFailure;
    std::thread m_Reader;
    std::mutex m_Lock;
    std::condition_variable m_LineAdded;
    std::vector<std::string> m_Lines;
    bool m_bEof = false;
};

// ---- Start-up and shut-down --------------------------------------------------------------------

struct SStartRun
{
    double tStartup = 0;  // spawn to first paint
    double tShutdown = 0; // close request to exit
    double tCpu = 0;      // CPU of the whole run
};

std::optional<SStartRun> StartAndClose(const std::string& strProgram)
{
    CProfileDir profile("");
    CRunningProgram program(strProgram, profile.GetPath(), "close");
    const std::optional<double> tPaint = program.WaitForTime(kPaintLine);
    const std::optional<double> tClose = program.WaitForTime(kCloseLine);
    const auto [tExit, tCpu] = program.Wait();
    if (!tPaint || !tClose || !program.GetFailure().empty())
    {
        std::fprintf(stderr, "run failed (%s):\n%s", program.GetFailure().c_str(),
                     program.GetOutput().c_str());
        return std::nullopt;
    }
    return SStartRun{*tPaint - program.GetSpawnTime(), tExit - *tClose, tCpu};
}

int MeasureStartup(int nRuns, const std::string& strProgram)
{
    if (!StartAndClose(strProgram)) // the unmeasured first run fills the caches
        return 1;
    std::vector<double> startups, shutdowns, cpus;
    for (int i = 0; i < nRuns; ++i)
    {
        const std::optional<SStartRun> run = StartAndClose(strProgram);
        if (!run)
            return 1;
        startups.push_back(run->tStartup * 1e3);
        shutdowns.push_back(run->tShutdown * 1e3);
        cpus.push_back(run->tCpu * 1e3);
    }
    const auto print = [](const char* pszWhat, const std::vector<double>& values)
    {
        std::printf("%-38s median %7.1f ms  (min %.1f, max %.1f)\n", pszWhat, Median(values),
                    *std::min_element(values.begin(), values.end()),
                    *std::max_element(values.begin(), values.end()));
    };
    std::printf("%d runs, fresh profile, DUMMY port\n", nRuns);
    print("start-up to the first painted window", startups);
    print("shut-down from the close request", shutdowns);
    print("CPU of a whole run (user + system)", cpus);
    return 0;
}

// ---- CPU use -----------------------------------------------------------------------------------

struct SThreadTimes
{
    std::string strName;
    double tStat = 0;        // utime + stime, in seconds (counted in clock ticks)
    double tRun = 0;         // the scheduler's run time (schedstat, in ns), of a thread
    long long nSwitches = 0; // voluntary context switches: wake-ups after a sleep
    int nPolicy = 0;         // the scheduling policy: SCHED_OTHER 0, SCHED_FIFO 1, SCHED_RR 2
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Fields 14 and 15 of a stat file (utime and stime, in clock ticks) and 41 (the policy); the name
// is field 2. A tick is 10 ms, so a thread's own figure comes from its schedstat, which the
// scheduler keeps in ns.
std::optional<SThreadTimes> ReadStat(const fs::path& dir)
{
    const std::string strStat = ReadFile(dir / "stat");
    const std::size_t nOpen = strStat.find('(');
    const std::size_t nClose = strStat.rfind(')');
    if (nOpen == std::string::npos || nClose == std::string::npos)
        return std::nullopt;
    SThreadTimes times;
    times.strName = strStat.substr(nOpen + 1, nClose - nOpen - 1);
    std::istringstream fields(strStat.substr(nClose + 1));
    std::string strField;
    long long nUser = 0, nSystem = 0;
    for (int nField = 3; nField <= 41 && fields >> strField; ++nField)
    {
        if (nField == 14)
            nUser = std::stoll(strField);
        else if (nField == 15)
            nSystem = std::stoll(strField);
        else if (nField == 41)
            times.nPolicy = std::stoi(strField);
    }
    times.tStat = static_cast<double>(nUser + nSystem) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::istringstream(ReadFile(dir / "schedstat")) >> times.tRun;
    times.tRun *= 1e-9;
    std::istringstream status(ReadFile(dir / "status"));
    for (std::string strLine; std::getline(status, strLine);)
    {
        if (strLine.rfind("voluntary_ctxt_switches:", 0) == 0)
            times.nSwitches = std::stoll(strLine.substr(24));
    }
    return times;
}

// Every thread of a process by its id; the whole process under id 0.
std::map<pid_t, SThreadTimes> ReadThreads(pid_t pid)
{
    std::map<pid_t, SThreadTimes> threads;
    const fs::path dir = "/proc/" + std::to_string(pid);
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir / "task", error))
    {
        if (std::optional<SThreadTimes> times = ReadStat(entry.path()))
            threads[static_cast<pid_t>(std::stol(entry.path().filename()))] = *times;
    }
    if (std::optional<SThreadTimes> times = ReadStat(dir))
        threads[0] = *times;
    return threads;
}

// The share of one core of the process (utime + stime, which includes threads that have ended) and
// of each of its threads that ran (their run time). In Skrivel the main
// thread is the GUI thread and the thread that carries the program's own name (a std::thread
// inherits it) the I/O thread; Qt's threads have names of their own.
void PrintShares(bool bSkrivel, pid_t pid, const std::map<pid_t, SThreadTimes>& before,
                 const std::map<pid_t, SThreadTimes>& after, double tSeconds)
{
    const auto share = [&](double tCpu) { return 100.0 * tCpu / tSeconds; };
    const auto total = after.find(0);
    const auto totalBefore = before.find(0);
    if (total == after.end() || totalBefore == before.end())
    {
        std::printf("pid %d: gone\n", pid);
        return;
    }
    const std::string& strProcess = total->second.strName;
    std::printf("%-28s %6.2f %% of one core\n", strProcess.c_str(),
                share(total->second.tStat - totalBefore->second.tStat));
    for (const auto& [tid, times] : after)
    {
        const auto then = before.find(tid);
        if (tid == 0 || then == before.end())
            continue;
        const double tRun = times.tRun - then->second.tRun;
        const double nWakeups = static_cast<double>(times.nSwitches - then->second.nSwitches) / tSeconds;
        if (share(tRun) < 0.005 && nWakeups < 0.5)
            continue;
        std::string strRole = "thread \"" + times.strName + "\"";
        if (tid == pid)
            strRole = bSkrivel ? "GUI thread" : "main thread";
        else if (bSkrivel && times.strName == strProcess)
            strRole = "I/O thread";
        if (times.nPolicy == SCHED_FIFO || times.nPolicy == SCHED_RR)
            strRole += " (real-time)";
        std::printf("  %-26s %6.2f %%  %6.0f wake-ups/s\n", strRole.c_str(), share(tRun), nWakeups);
    }
}

int MeasureCpu(double tSeconds, const std::string& strProgram, const std::string& strPort,
               const std::vector<pid_t>& watched)
{
    CProfileDir profile(strPort);
    CRunningProgram program(strProgram, profile.GetPath(), "1");
    if (!program.WaitForTime(kPaintLine))
    {
        std::fprintf(stderr, "the window did not come up:\n%s", program.GetOutput().c_str());
        return 1;
    }
    std::this_thread::sleep_for(kSettle);
    std::vector<pid_t> pids = {program.GetPid()};
    pids.insert(pids.end(), watched.begin(), watched.end());
    std::vector<std::map<pid_t, SThreadTimes>> before;
    for (const pid_t pid : pids)
        before.push_back(ReadThreads(pid));
    const double tStart = MonotonicSeconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(tSeconds));
    std::vector<std::map<pid_t, SThreadTimes>> after;
    for (const pid_t pid : pids)
        after.push_back(ReadThreads(pid));
    const double tMeasured = MonotonicSeconds() - tStart;

    std::printf("%.0f s receiving on %s\n", tMeasured, strPort.empty() ? "DUMMY" : strPort.c_str());
    for (std::size_t i = 0; i < pids.size(); ++i)
        PrintShares(i == 0, pids[i], before[i], after[i], tMeasured);
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "Usage: measure_program startup RUNS SKRIVEL\n"
                         "       measure_program cpu SECONDS SKRIVEL [PORT] [--watch PID]...\n");
    return 2;
}
} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "startup")
        return MeasureStartup(std::max(1, std::atoi(args[1].c_str())), args[2]);
    if (args.size() < 3 || args[0] != "cpu")
        return Usage();
    std::string strPort;
    std::vector<pid_t> watched;
    for (std::size_t i = 3; i < args.size(); ++i)
    {
        if (args[i] == "--watch" && i + 1 < args.size())
            watched.push_back(static_cast<pid_t>(std::atoi(args[++i].c_str())));
        else if (strPort.empty())
            strPort = args[i];
        else
            return Usage();
    }
    return MeasureCpu(std::atof(args[1].c_str()), args[2], strPort, watched);
}
