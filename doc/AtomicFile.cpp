#include "doc/AtomicFile.h"

#include "engine/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

namespace
{
// Links followed before a chain counts as a loop, as the kernel counts them.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& strPath)
{
    const std::size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
}

// The name a save writes: symbolic links followed one by one to the name at the end of the chain,
// which need not exist (a dangling link names the file to create). 0 or an errno.
int FollowLinks(const std::string& strPath, std::string& strResult)
{
    strResult = strPath;
    for (int nLinks = 0;; ++nLinks)
    {
        struct stat st
        {
        };
        if (::lstat(strResult.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0; // whatever stands in the way is met when the file is made
        if (nLinks == kMaxLinks)
            return ELOOP;
        char szLink[PATH_MAX];
        const ssize_t n = ::readlink(strResult.c_str(), szLink, sizeof szLink);
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) == sizeof szLink)
            return ENAMETOOLONG;
        const std::string strLink(szLink, static_cast<std::size_t>(n));
        strResult = !strLink.empty() && strLink.front() == '/' ? strLink : FolderOf(strResult) + strLink;
    }
}

bool IsPermissionError(int nError)
{
    return nError == EACCES || nError == EPERM;
}
} // namespace

CAtomicFile::~CAtomicFile()
{
    Discard();
}

int CAtomicFile::Create(const std::string& strTarget)
{
    Discard();
    m_bInPlace = false;
    if (const int nError = FollowLinks(strTarget, m_strTarget); nError != 0)
        return nError;
    struct stat st
    {
    };
    if (::stat(m_strTarget.c_str(), &st) != 0)
        return errno == ENOENT ? CreateBeside() : errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return ENODEV;
    // Refuse what the program could not write in place either, before making anything.
    if (::access(m_strTarget.c_str(), W_OK) != 0)
        return errno;
    if (st.st_nlink > 1)
        return OpenInPlace();
    const int nError = CreateBeside();
    if (IsPermissionError(nError))
        return OpenInPlace();
    if (nError == 0 && !KeepOwnerAndMode(st))
    {
        Discard();
        return OpenInPlace();
    }
    return nError;
}

int CAtomicFile::CreateBeside()
{
    // Made with O_EXCL under a name of this process, so the umask gives a new file its mode.
    static std::atomic<unsigned> s_nCount{0};
    const std::size_t nSlash = m_strTarget.rfind('/');
    const std::string strStem = FolderOf(m_strTarget) + "." +
                                m_strTarget.substr(nSlash == std::string::npos ? 0 : nSlash + 1) + "." +
                                std::to_string(::getpid()) + ".";
    for (;;)
    {
        const std::string strTemp = strStem + std::to_string(s_nCount++);
        m_fd = ::open(strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
        {
            m_strTemp = strTemp;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
}

bool CAtomicFile::KeepOwnerAndMode(const struct stat& old) const
{
    // The owner first: changing it clears the set-user and set-group bits, which the mode restores.
    // Only root may give a file to someone else; a user saving his own file may lose its group.
    if (::fchown(m_fd, old.st_uid, old.st_gid) != 0 && old.st_uid != ::geteuid())
        return false;
    return ::fchmod(m_fd, old.st_mode & 07777) == 0;
}

int CAtomicFile::OpenInPlace()
{
    m_bInPlace = true;
    return RegularFile::OpenForWriting(m_strTarget, m_fd);
}

int CAtomicFile::Commit()
{
    if (m_fd < 0)
        return EBADF;
    int nError = 0;
    if (m_bInPlace)
    {
        // The old data beyond the new goes only now.
        const off_t nEnd = ::lseek(m_fd, 0, SEEK_CUR);
        if (nEnd < 0 || ::ftruncate(m_fd, nEnd) != 0)
            nError = errno;
    }
    if (nError == 0 && ::fsync(m_fd) != 0)
        nError = errno;
    if (::close(m_fd) != 0 && nError == 0)
        nError = errno;
    m_fd = -1;
    if (nError == 0 && !m_bInPlace && ::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
        nError = errno;
    if (nError != 0)
    {
        Discard();
        return nError;
    }
    m_strTemp.clear();
    return 0;
}

void CAtomicFile::Discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_strTemp.empty())
        ::unlink(m_strTemp.c_str());
    m_strTemp.clear();
}
