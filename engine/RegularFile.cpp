#include "engine/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace
{
// Opens without blocking, checks that a regular file was opened, then makes the descriptor
// blocking. Gives 0 and the file's status, or an errno with fd -1.
int OpenRegular(const std::string& strPath, int nFlags, int& fd, struct stat& st)
{
    fd = ::open(strPath.c_str(), nFlags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int nError = 0;
    if (::fstat(fd, &st) != 0)
        nError = errno;
    else if (S_ISDIR(st.st_mode))
        nError = EISDIR;
    else if (!S_ISREG(st.st_mode))
        nError = ENODEV;
    else if (::fcntl(fd, F_SETFL, 0) != 0)
        nError = errno;
    if (nError != 0)
    {
        ::close(fd);
        fd = -1;
    }
    return nError;
}
} // namespace

int RegularFile::OpenForReading(const std::string& strPath, int& fd, std::uint64_t& nSize)
{
    struct stat st
    {
    };
    const int nError = OpenRegular(strPath, O_RDONLY, fd, st);
    if (nError == 0)
        nSize = static_cast<std::uint64_t>(st.st_size);
    return nError;
}

int RegularFile::OpenForWriting(const std::string& strPath, int& fd)
{
    struct stat st
    {
    };
    return OpenRegular(strPath, O_WRONLY, fd, st);
}
