#pragma once

#include <string>

// The external start-up and shutdown commands, run through the system's command interpreter.
namespace ShellCommand
{
// Runs strCommand with "<shell> -c" and waits until it has finished. False only when the
// interpreter could not be started; the command's own exit status is not looked at.
bool Run(const std::string& strCommand, const std::string& strShell = "/bin/sh");
} // namespace ShellCommand
