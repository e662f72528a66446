#pragma once

class CCmdUI;

// Something that can handle commands: the active view, the document, the frame, the application.
class ICommandTarget
{
public:
    virtual ~ICommandTarget() = default;

    // With pCmdUI null, carries the command out. With pCmdUI set, only fills in its enabled and
    // mark state. Either way returns whether this target handles nID; a command that no target
    // handles is disabled.
    virtual bool OnCmdMsg(int nID, CCmdUI* pCmdUI) = 0;
};
