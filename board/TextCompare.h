#pragma once

#include <string_view>

// Comparing text read back from a picture with the text that was sent.
namespace TextCompare
{
// The fewest single-character edits (a wrong character, one missing, one too many) that turn
// strRead into some stretch of strSent; where in strSent that stretch lies costs nothing.
int CountErrors(std::string_view strRead, std::string_view strSent);
// The fewest such edits that turn strRead into the whole of strSent.
int CountEdits(std::string_view strRead, std::string_view strSent);
} // namespace TextCompare
