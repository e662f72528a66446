// Saving over what is already there: a file keeps its other names, its owner, group and mode, a
// link leads to the file it names, and what is no regular file stays what it was.
#include "DocTestFixture.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace
{
const std::string kNewData = "\x01\x02\x03";

struct stat StatOf(const std::string& strPath, bool bFollow = true)
{
    struct stat st
    {
    };
    EXPECT_EQ(bFollow ? ::stat(strPath.c_str(), &st) : ::lstat(strPath.c_str(), &st), 0) << strPath;
    return st;
}

class DocSaveOverTest : public DocTest
{
protected:
    // A document that has received the three bytes of kNewData.
    CSkrivelDoc& DocWithData()
    {
        CSkrivelDoc& doc = NewDoc();
        for (const char c : kNewData)
            doc.StoreRxPixel(static_cast<std::uint8_t>(c), false);
        return doc;
    }
};
} // namespace

TEST_F(DocSaveOverTest, AHardLinkedFileIsWrittenInPlaceSoEveryNameSeesTheNewData)
{
    WriteFile(PathOf("a.hel"), "old data, longer than the new");
    ASSERT_EQ(::link(PathOf("a.hel").c_str(), PathOf("b.hel").c_str()), 0);
    const ino_t nInode = StatOf(PathOf("a.hel")).st_ino;
    ASSERT_TRUE(DocWithData().OnSaveDocument(PathOf("a.hel")));
    EXPECT_EQ(ReadFile(PathOf("b.hel")), kNewData); // cut to the new length
    EXPECT_EQ(StatOf(PathOf("a.hel")).st_ino, nInode);
    EXPECT_EQ(StatOf(PathOf("a.hel")).st_nlink, 2u);
    EXPECT_TRUE(m_Host.m_Messages.empty());
}

TEST_F(DocSaveOverTest, WhatIsNoRegularFileIsRefusedAtOnceAndStaysAsItWas)
{
    // A FIFO with no reader: opening it to write would wait for one.
    const std::string strFifo = PathOf("fifo.hel");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("fifo.hel", PathOf("to-fifo.hel").c_str()), 0);
    std::vector<std::string> paths = {strFifo, PathOf("to-fifo.hel")};
    const std::string strDevice = PathOf("null.hel");
    if (::mknod(strDevice.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) // root only
        paths.push_back(strDevice);
    CSkrivelDoc& doc = DocWithData();
    for (const std::string& strPath : paths)
        EXPECT_FALSE(doc.OnSaveDocument(strPath)) << strPath;

    EXPECT_TRUE(S_ISFIFO(StatOf(strFifo).st_mode));
    EXPECT_TRUE(S_ISLNK(StatOf(PathOf("to-fifo.hel"), false).st_mode));
    if (paths.size() == 3)
    {
        EXPECT_TRUE(S_ISCHR(StatOf(strDevice).st_mode));
    }
    ASSERT_EQ(m_Host.m_Messages.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
    {
        EXPECT_EQ(m_Host.m_Messages[i], "Invalid filename.");
        EXPECT_EQ(m_Host.m_Details[i], paths[i] + ": Not a regular file");
    }
    EXPECT_EQ(doc.GetPathName(), "");
}

TEST_F(DocSaveOverTest, ADanglingLinkMakesTheFileItNamesAndALoopIsRefused)
{
    std::filesystem::create_directory(m_Dir / "real");
    ASSERT_EQ(::symlink("real/rx.hel", PathOf("link.hel").c_str()), 0);
    ASSERT_EQ(::symlink(PathOf("link.hel").c_str(), PathOf("link2.hel").c_str()), 0);
    CSkrivelDoc& doc = DocWithData();
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("link2.hel")));
    EXPECT_EQ(ReadFile(PathOf("real/rx.hel")), kNewData);
    EXPECT_TRUE(S_ISLNK(StatOf(PathOf("link.hel"), false).st_mode));
    EXPECT_TRUE(S_ISLNK(StatOf(PathOf("link2.hel"), false).st_mode));
    EXPECT_EQ(doc.GetPathName(), PathOf("link2.hel"));

    ASSERT_EQ(::symlink("loop.hel", PathOf("loop.hel").c_str()), 0);
    EXPECT_FALSE(doc.OnSaveDocument(PathOf("loop.hel")));
    ASSERT_EQ(m_Host.m_Messages.size(), 1u);
    EXPECT_EQ(m_Host.m_Messages[0], "Invalid filename.");
    EXPECT_EQ(m_Host.m_Details[0], PathOf("loop.hel") + ": Too many levels of symbolic links");
}

TEST_F(DocSaveOverTest, AFileSavedOverKeepsItsOwnerGroupAndModeAndANewFileFollowsTheUmask)
{
    // Only root can give a file to someone else; anyone else checks the mode alone.
    const bool bRoot = ::geteuid() == 0;
    const uid_t nOwner = bRoot ? 12345 : ::geteuid();
    const gid_t nGroup = bRoot ? 23456 : ::getegid();
    const std::string strOld = PathOf("old.hel");
    WriteFile(strOld, "old");
    ASSERT_EQ(::chown(strOld.c_str(), nOwner, nGroup), 0);
    ASSERT_EQ(::chmod(strOld.c_str(), 0640), 0);
    const mode_t nUmask = ::umask(027);
    CSkrivelDoc& doc = DocWithData();
    const bool bSavedOver = doc.OnSaveDocument(strOld);
    const bool bSavedNew = doc.OnSaveDocument(PathOf("new.hel"));
    ::umask(nUmask);

    ASSERT_TRUE(bSavedOver);
    EXPECT_EQ(ReadFile(strOld), kNewData);
    const struct stat st = StatOf(strOld);
    EXPECT_EQ(st.st_uid, nOwner);
    EXPECT_EQ(st.st_gid, nGroup);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_TRUE(bSavedNew);
    EXPECT_EQ(StatOf(PathOf("new.hel")).st_mode & 07777, 0640u);
    EXPECT_EQ(StatOf(PathOf("new.hel")).st_uid, ::geteuid());
}

TEST_F(DocSaveOverTest, AUserWhoMayWriteTheFileButNotItsFolderSavesInPlace)
{
    // The folder is root's and closed to writing; the file belongs to the user who saves. Root
    // may write any folder, so as root the save runs in a child that has become "nobody".
    const bool bRoot = ::geteuid() == 0;
    const uid_t nUser = bRoot ? 65534 : ::geteuid();
    const gid_t nGroup = bRoot ? 65534 : ::getegid();
    const std::filesystem::path folder = m_Dir / "closed";
    std::filesystem::create_directory(folder);
    const std::string strPath = (folder / "rx.hel").string();
    WriteFile(strPath, "old data, longer than the new");
    ASSERT_EQ(::chown(strPath.c_str(), nUser, nGroup), 0);
    ASSERT_EQ(::chmod(strPath.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(m_Dir.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const ino_t nInode = StatOf(strPath).st_ino;
    CSkrivelDoc& doc = DocWithData();

    // The child's exit status: 0 saved, 1 not saved, 2 the folder is writable after all, 3 the
    // temporary folder is closed to other users.
    const auto save = [&]() -> int
    {
        if (::access(folder.c_str(), X_OK) != 0)
            return 3;
        if (::access(folder.c_str(), W_OK) == 0)
            return 2;
        if (doc.OnSaveDocument(strPath))
            return 0;
        std::fprintf(stderr, "%s\n%s\n", m_Host.m_Messages.back().c_str(), m_Host.m_Details.back().c_str());
        return 1;
    };
    int nResult = 0;
    if (bRoot)
    {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
        {
            const bool bBecame =
                ::setgroups(0, nullptr) == 0 && ::setgid(nGroup) == 0 && ::setuid(nUser) == 0;
            ::_exit(bBecame ? save() : 4);
        }
        int nStatus = 0;
        ASSERT_EQ(::waitpid(pid, &nStatus, 0), pid);
        ASSERT_TRUE(WIFEXITED(nStatus));
        nResult = WEXITSTATUS(nStatus);
    }
    else
        nResult = save();
    ::chmod(folder.c_str(), 0755);

    if (nResult == 2 || nResult == 3)
        GTEST_SKIP() << "the folder's permissions do not hold for this user here";
    EXPECT_EQ(nResult, 0);
    EXPECT_EQ(ReadFile(strPath), kNewData);
    EXPECT_EQ(StatOf(strPath).st_ino, nInode);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}
