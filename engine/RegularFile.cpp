#include "engine/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int RegularFile::OpenForReading(const std::string& strPath, int& fd, std::uint64_t& nSize)
{
    fd = ::open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st
    {
    };
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
        return nError;
    }
    nSize = static_cast<std::uint64_t>(st.st_size);
    return 0;
}
