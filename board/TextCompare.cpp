#include "board/TextCompare.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace
{
// One row per character read; a column per place in the sent text where the match may end. With
// bAnywhere the first row is all zero (the stretch may begin anywhere) and the best column counts;
// else the match runs from the first sent character to the last.
int Edits(std::string_view strRead, std::string_view strSent, bool bAnywhere)
{
    std::vector<int> prev(strSent.size() + 1, 0);
    if (!bAnywhere)
        std::iota(prev.begin(), prev.end(), 0);
    std::vector<int> row(strSent.size() + 1);
    for (std::size_t i = 1; i <= strRead.size(); ++i)
    {
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= strSent.size(); ++j)
            row[j] = std::min(
                {prev[j - 1] + (strRead[i - 1] == strSent[j - 1] ? 0 : 1), prev[j] + 1, row[j - 1] + 1});
        std::swap(prev, row);
    }
    return bAnywhere ? *std::min_element(prev.begin(), prev.end()) : prev.back();
}
} // namespace

int TextCompare::CountErrors(std::string_view strRead, std::string_view strSent)
{
    return Edits(strRead, strSent, true);
}

int TextCompare::CountEdits(std::string_view strRead, std::string_view strSent)
{
    return Edits(strRead, strSent, false);
}
