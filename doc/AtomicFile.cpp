#include "doc/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace
{
// A link is replaced through its target, so saving to a linked name updates the file it names.
std::string FollowLink(const std::string& strPath)
{
    struct stat st
    {
    };
    if (::lstat(strPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    {
        char szReal[PATH_MAX];
        if (::realpath(strPath.c_str(), szReal) != nullptr)
            return szReal;
    }
    return strPath;
}

mode_t NewFileMode(const std::string& strTarget)
{
    struct stat st
    {
    };
    if (::stat(strTarget.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t nMask = ::umask(0);
    ::umask(nMask);
    return 0666 & ~nMask;
}
} // namespace

CAtomicFile::~CAtomicFile()
{
    Discard();
}

int CAtomicFile::Create(const std::string& strTarget)
{
    Discard();
    m_strTarget = FollowLink(strTarget);
    struct stat st
    {
    };
    if (::stat(m_strTarget.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return EISDIR;
    // Refuse what the program could not write in place either, before making anything.
    if (::access(m_strTarget.c_str(), F_OK) == 0 && ::access(m_strTarget.c_str(), W_OK) != 0)
        return errno;
    const std::size_t nSlash = m_strTarget.rfind('/');
    const std::string strDir =
        nSlash == std::string::npos ? std::string() : m_strTarget.substr(0, nSlash + 1);
    const std::string strName = nSlash == std::string::npos ? m_strTarget : m_strTarget.substr(nSlash + 1);
    std::string strTemplate = strDir + "." + strName + ".XXXXXX";
    std::vector<char> szTemplate(strTemplate.begin(), strTemplate.end());
    szTemplate.push_back('\0');
    m_fd = ::mkstemp(szTemplate.data());
    if (m_fd < 0)
        return errno;
    m_strTemp = szTemplate.data();
    ::fchmod(m_fd, NewFileMode(m_strTarget));
    return 0;
}

int CAtomicFile::Commit()
{
    if (m_fd < 0)
        return EBADF;
    int nError = 0;
    if (::fsync(m_fd) != 0)
        nError = errno;
    if (::close(m_fd) != 0 && nError == 0)
        nError = errno;
    m_fd = -1;
    if (nError == 0 && ::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
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
