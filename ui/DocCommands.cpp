#include "ui/DocCommands.h"

#include "doc/SkrivelDoc.h"
#include "ui/CmdUI.h"
#include "ui/CommandIds.h"
#include "ui/SkrivelXmitMessageSheet.h"

#include <algorithm>
#include <iterator>

namespace
{
enum class EMark
{
    None,
    Radio,
    Check,
};

struct SDocCommand
{
    int nID;
    void (*pfnAction)(CSkrivelDoc& doc);
    EMark nMark;
    bool (*pfnMarked)(const CSkrivelDoc& doc);
};

constexpr SDocCommand kDocCommands[] = {
    {ID_OPERATE_TRANSMIT, [](CSkrivelDoc& doc) { doc.OnTransmit(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return doc.m_bTransmitting; }},
    {ID_OPERATE_RECEIVE, [](CSkrivelDoc& doc) { doc.OnReceive(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return !doc.m_bTransmitting || doc.m_bFinishTx; }},
    {ID_OPERATE_IMMEDIATE_RECEIVE, [](CSkrivelDoc& doc) { doc.OnImmediateReceive(); }, EMark::None, nullptr},
    {ID_EDIT_CLEAR_TX_BUFFER, [](CSkrivelDoc& doc) { doc.OnClearTxBuffer(); }, EMark::None, nullptr},
    {ID_OPERATE_DISPLAY_ON, [](CSkrivelDoc& doc) { doc.OnDisplayOn(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return doc.m_bDisplayOn; }},
    {ID_OPERATE_DISPLAY_OFF, [](CSkrivelDoc& doc) { doc.OnDisplayOff(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return !doc.m_bDisplayOn; }},
    {ID_VIEW_BLACK_ON_WHITE, [](CSkrivelDoc& doc) { doc.OnBlackOnWhite(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return doc.m_bReverseVideo; }},
    {ID_VIEW_WHITE_ON_BLACK, [](CSkrivelDoc& doc) { doc.OnWhiteOnBlack(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return !doc.m_bReverseVideo; }},
    {ID_EDIT_CLEAR_RX, [](CSkrivelDoc& doc) { doc.OnClearRx(); }, EMark::None, nullptr},
    {ID_OPERATE_UPPER_CASE, [](CSkrivelDoc& doc) { doc.OnUpperCase(); }, EMark::Check,
     [](const CSkrivelDoc& doc) { return doc.m_bUpperCase; }},
    {ID_OPERATE_FULL_DUPLEX, [](CSkrivelDoc& doc) { doc.OnFullDuplex(); }, EMark::Check,
     [](const CSkrivelDoc& doc) { return doc.m_bFullDuplex; }},
    {ID_OPERATE_DIDDLE, [](CSkrivelDoc& doc) { doc.OnDiddle(); }, EMark::Check,
     [](const CSkrivelDoc& doc) { return doc.m_bUseDiddle; }},
    {ID_COMM_COM1, [](CSkrivelDoc& doc) { doc.OnComm1(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return doc.GetPortName() == "COM1"; }},
    {ID_COMM_COM2, [](CSkrivelDoc& doc) { doc.OnComm2(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return doc.GetPortName() == "COM2"; }},
    {ID_COMM_COM3, [](CSkrivelDoc& doc) { doc.OnComm3(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return doc.GetPortName() == "COM3"; }},
    {ID_COMM_DUMMY, [](CSkrivelDoc& doc) { doc.OnDummyPort(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return doc.GetPortName() == "DUMMY"; }},
    {ID_COMM_SOUNDCARD, [](CSkrivelDoc& doc) { doc.OnSoundCardPort(); }, EMark::Radio,
     [](const CSkrivelDoc& doc) { return doc.GetPortName() == CSkrivelDoc::kSoundCardPort; }},
    {ID_OPERATE_TICK, [](CSkrivelDoc& doc) { doc.Tick(); }, EMark::None, nullptr},
};
} // namespace

CDocCommands::CDocCommands(CSkrivelDoc& doc, QWidget* pDialogParent)
    : m_Doc(doc), m_pDialogParent(pDialogParent)
{
}

bool CDocCommands::OnCmdMsg(int nID, CCmdUI* pCmdUI)
{
    if (nID == ID_EDIT_EDIT_MESSAGES)
    {
        if (pCmdUI == nullptr)
            CSkrivelXmitMessageSheet::EditXmitMessages(m_Doc, m_pDialogParent);
        return true;
    }
    if (nID >= ID_OPERATE_MODE_FIRST && nID <= ID_OPERATE_MODE_LAST)
    {
        // Only the sound card changes mode: a board and DUMMY show their Feld-Hell, greyed.
        const int nMode = nID - ID_OPERATE_MODE_FIRST;
        if (pCmdUI == nullptr)
            m_Doc.SetMode(nMode);
        else
        {
            pCmdUI->SetRadio(m_Doc.GetMode() == nMode);
            pCmdUI->Enable(m_Doc.HasAudio());
        }
        return true;
    }
    const auto it = std::find_if(std::begin(kDocCommands), std::end(kDocCommands),
                                 [nID](const SDocCommand& command) { return command.nID == nID; });
    if (it == std::end(kDocCommands))
        return false;
    if (pCmdUI == nullptr)
        it->pfnAction(m_Doc);
    else if (it->nMark == EMark::Radio)
        pCmdUI->SetRadio(it->pfnMarked(m_Doc));
    else if (it->nMark == EMark::Check)
        pCmdUI->SetCheck(it->pfnMarked(m_Doc));
    return true;
}
