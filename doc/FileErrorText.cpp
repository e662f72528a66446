#include "doc/FileErrorText.h"

#include <cerrno>
#include <string_view>
#include <system_error>

namespace
{
std::string Substitute(std::string strText, const std::string& strPath)
{
    const std::size_t nAt = strText.find("%1");
    if (nAt != std::string::npos)
        strText.replace(nAt, 2, strPath);
    return strText;
}

const char* TextFor(FileErrorText::Operation op, int nError)
{
    using FileErrorText::Operation;
    switch (nError)
    {
    case ENOENT:
    case ENOTDIR:
        return "%1\nCannot find this file.\nPlease verify that the correct path and file name are given.";
    case EISDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return "Invalid filename.";
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
    case EWOULDBLOCK:
        return op == Operation::Save ? "Unable to write to %1, it is read-only or opened by someone else."
                                     : "Unable to read from %1, it is opened by someone else.";
    case ENOSPC:
    case EDQUOT:
        return "Destination disk drive is full.";
    case EFBIG:
        return op == Operation::Save ? "Destination disk drive is full."
                                     : "Unable to load %1: the file is larger than this computer's memory.";
    case ENODEV:
        if (op == Operation::Save)
            return "Invalid filename.";
        break;
    default:
        break;
    }
    switch (op)
    {
    case Operation::Open:
        return "Failed to open document.";
    case Operation::Read:
        return "An unexpected error occurred while reading %1.";
    case Operation::Save:
        return "An unexpected error occurred while writing %1.";
    }
    return "Failed to open document.";
}
} // namespace

std::string FileErrorText::For(Operation op, int nError, const std::string& strPath)
{
    return Substitute(TextFor(op, nError), strPath);
}

std::string FileErrorText::DetailFor(Operation op, int nError, const std::string& strPath)
{
    const std::string strReason =
        nError == ENODEV ? "Not a regular file" : std::generic_category().message(nError);
    if (std::string_view(TextFor(op, nError)).find("%1") != std::string_view::npos)
        return strReason;
    return strPath + ": " + strReason;
}
