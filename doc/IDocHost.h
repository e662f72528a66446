#pragma once

#include <string>

// What the document asks of the program around it.
class IDocHost
{
public:
    virtual ~IDocHost() = default;

    // A message box with an OK button. strDetail, when not empty, is secondary text such as the
    // operating system's reason for a failure.
    virtual void ShowMessage(const std::string& strText, const std::string& strDetail = {}) = 0;
    // Refresh the command states and the status text now, not at the next idle moment.
    virtual void OnIdle() = 0;
};
