#pragma once

#include "doc/IRxDisplay.h"

#include <string>
#include <vector>

// A receive display that records the calls it gets, as "paint 0 3", "sizes", "follow", "end", "update".
class CRecordingRxDisplay : public IRxDisplay
{
public:
    void PaintColumn(int nPage, int nColumn) override
    {
        m_Calls.push_back("paint " + std::to_string(nPage) + " " + std::to_string(nColumn));
    }
    void UpdateScrollSizes() override { m_Calls.push_back("sizes"); }
    void FollowEnd() override { m_Calls.push_back("follow"); }
    void ScrollToEnd() override { m_Calls.push_back("end"); }
    void OnUpdate() override { m_Calls.push_back("update"); }

    std::vector<std::string> m_Calls;
};
