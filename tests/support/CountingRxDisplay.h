#pragma once

#include "doc/IRxDisplay.h"

#include <cstddef>

// A receive display that only counts the columns painted and the pages begun.
class CCountingRxDisplay : public IRxDisplay
{
public:
    void PaintColumn(int, int) override { ++m_nColumns; }
    void UpdateScrollSizes() override {}
    void FollowEnd() override { ++m_nPages; }
    void ScrollToEnd() override {}
    void OnUpdate() override {}

    std::size_t m_nColumns = 0;
    std::size_t m_nPages = 0;
};
