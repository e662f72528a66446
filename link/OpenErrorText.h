#pragma once

#include <string>

// Why a serial device could not be opened, in the operator's words: the system's reason (from
// the errno of the failure, or SerialDevice's refusal) and what to do about it.
namespace OpenErrorText
{
std::string For(int nError, const std::string& strPath);
// The name of the group that owns the file, or empty when it cannot be told.
std::string GetOwningGroup(const std::string& strPath);
} // namespace OpenErrorText
