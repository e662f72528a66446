#pragma once

#include <string>

// The standard texts for receive-data files that cannot be opened, read or written, chosen by the
// errno of the failure; "%1" in a text is replaced by the file's name.
namespace FileErrorText
{
enum class Operation
{
    Open, // opening a file to load it
    Read, // reading it
    Save, // creating or writing a file
};

std::string For(Operation op, int nError, const std::string& strPath);
} // namespace FileErrorText
