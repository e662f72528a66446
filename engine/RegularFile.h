#pragma once

#include <cstdint>
#include <string>

namespace RegularFile
{
// Opens a file for reading that must be a regular file: a FIFO, a device or a folder is refused
// before anything is read (opened without blocking, so a FIFO with no writer cannot hang the
// program). Gives 0 with a blocking descriptor and the file's size, or an errno (EISDIR for a
// folder, ENODEV for anything else that is not a regular file).
int OpenForReading(const std::string& strPath, int& fd, std::uint64_t& nSize);

// Opens an existing regular file for writing in place, at its start, neither created nor
// truncated; the same refusals as OpenForReading.
int OpenForWriting(const std::string& strPath, int& fd);
} // namespace RegularFile
