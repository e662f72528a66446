#pragma once

#include <string>

// The standard texts for receive-data files that cannot be opened, read or written, chosen by the
// errno of the failure; "%1" in a text is replaced by the file's name. ENODEV stands for a path
// that is no regular file (a FIFO, a device, a socket), as RegularFile and CAtomicFile give it.
namespace FileErrorText
{
enum class Operation
{
    Open, // opening a file to load it
    Read, // reading it
    Save, // creating or writing a file
};

std::string For(Operation op, int nError, const std::string& strPath);

// The secondary text shown under it: the operating system's reason for the failure, after the
// file's name where the text does not name the file (such as "Invalid filename.").
std::string DetailFor(Operation op, int nError, const std::string& strPath);
} // namespace FileErrorText
