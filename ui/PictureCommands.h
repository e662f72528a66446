#pragma once

#include "ui/CommandTarget.h"

class CSkrivelDoc;
class CSkrivelRxView;
class QWidget;

// The picture's commands: brightness and contrast a step at a time or back to normal, the zoom
// steps, the slant correction a step at a time or off, the picture bar shown or hidden, and File,
// Export Picture... A step that would change nothing (the brightest, the largest zoom) is
// disabled.
class CPictureCommands : public ICommandTarget
{
public:
    CPictureCommands(CSkrivelDoc& doc, CSkrivelRxView& rxView, QWidget& pictureBar);

    bool OnCmdMsg(int nID, CCmdUI* pCmdUI) override;

private:
    CSkrivelDoc& m_Doc;
    CSkrivelRxView& m_RxView;
    QWidget& m_PictureBar;
};
