#pragma once

#include "doc/IDocHost.h"

#include <string>
#include <vector>

// A host that records the messages it is asked to show and counts idle updates.
class CRecordingHost : public IDocHost
{
public:
    void ShowMessage(const std::string& strText, const std::string& strDetail = {}) override
    {
        m_Messages.push_back(strText);
        m_Details.push_back(strDetail);
    }
    void OnIdle() override { ++m_nIdleCalls; }

    std::vector<std::string> m_Messages;
    std::vector<std::string> m_Details;
    int m_nIdleCalls = 0;
};
