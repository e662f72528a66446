#pragma once

#include "ui/CommandTarget.h"

class CSkrivelDoc;
class QWidget;

// The document's operator commands and their marks: transmit and receive, the display and its
// colours, the transmit options, the port, the manual heartbeat and the canned messages.
class CDocCommands : public ICommandTarget
{
public:
    // pDialogParent is the window the canned-message editor opens over.
    CDocCommands(CSkrivelDoc& doc, QWidget* pDialogParent);

    bool OnCmdMsg(int nID, CCmdUI* pCmdUI) override;

private:
    CSkrivelDoc& m_Doc;
    QWidget* m_pDialogParent;
};
