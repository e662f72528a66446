#pragma once

#include <string>

// A file written in full before it takes the place of the old one: the data goes to a new file
// beside the target, which is renamed over the target only by Commit. A save that fails part way
// thus leaves the previous file as it was.
class CAtomicFile
{
public:
    CAtomicFile() = default;
    ~CAtomicFile(); // discards the new file unless committed
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the new file; 0 or the errno of the failure.
    int Create(const std::string& strTarget);
    int GetDescriptor() const { return m_fd; }
    // Makes the data durable, closes the file and renames it over the target; 0 or an errno.
    int Commit();

private:
    void Discard();

    std::string m_strTarget;
    std::string m_strTemp;
    int m_fd = -1;
};
