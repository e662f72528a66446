#pragma once

#include <string>

struct stat;

// A file saved over without losing what the operator had: the data goes to a new file beside the
// target, made with the old file's owner, group and mode, and renamed over the target only by
// Commit. A save that fails part way thus leaves the previous file as it was.
//
// Where a new file could not stand for the old one, the old file itself is written: a file with
// more than one name (the other names would keep the old data), a file in a folder the user may
// not write, and a file whose owner a new file cannot keep. It is written over from its start and
// cut to the new length only at Commit, so the room the old data holds stays the file's and a
// full disk can fail the save only beyond the old length; a failure part way leaves it mixed.
//
// A symbolic link is followed to the name at its end, which is created when it does not exist.
// A folder is refused with EISDIR, anything else that is no regular file (a FIFO, a device, a
// socket) with ENODEV: a receive-data file is a file to load again.
class CAtomicFile
{
public:
    CAtomicFile() = default;
    ~CAtomicFile(); // discards the new file unless committed
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the new file, or opens the old one; 0 or the errno of the failure.
    int Create(const std::string& strTarget);
    int GetDescriptor() const { return m_fd; }
    // Makes the data durable, closes the file and renames it over the target; 0 or an errno.
    int Commit();

private:
    int CreateBeside();
    bool KeepOwnerAndMode(const struct stat& old) const;
    int OpenInPlace();
    void Discard();

    std::string m_strTarget;
    std::string m_strTemp; // empty when writing in place
    int m_fd = -1;
    bool m_bInPlace = false;
};
