#include "app/ShellCommand.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace ShellCommand
{
bool Run(const std::string& strCommand, const std::string& strShell)
{
    std::string strArg0 = "sh";
    std::string strOption = "-c";
    std::string strText = strCommand;
    char* argv[] = {strArg0.data(), strOption.data(), strText.data(), nullptr};
    pid_t pid = 0;
    // posix_spawn reports a shell that cannot be executed as its own result.
    if (::posix_spawn(&pid, strShell.c_str(), nullptr, nullptr, argv, environ) != 0)
        return false;
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR)
    {
    }
    return true;
}
} // namespace ShellCommand
