#include "ui/PictureCommands.h"

#include "doc/SkrivelDoc.h"
#include "ui/CmdUI.h"
#include "ui/CommandIds.h"
#include "ui/SkrivelRxView.h"

#include <QWidget>

#include <algorithm>
#include <iterator>

namespace
{
constexpr int kLevelStep = 10; // brightness and contrast
constexpr int kSlantStep = 10; // ppm

struct SPictureCommand
{
    int nID;
    void (*pfnChange)(SPictureSettings& settings);
    // For the zoom steps: whether the settings have it (a radio mark); null for the others.
    bool (*pfnMarked)(const SPictureSettings& settings);
};

constexpr SPictureCommand kPictureCommands[] = {
    {ID_VIEW_BRIGHTER, [](SPictureSettings& s) { s.nBrightness += kLevelStep; }, nullptr},
    {ID_VIEW_DARKER, [](SPictureSettings& s) { s.nBrightness -= kLevelStep; }, nullptr},
    {ID_VIEW_MORE_CONTRAST, [](SPictureSettings& s) { s.nContrast += kLevelStep; }, nullptr},
    {ID_VIEW_LESS_CONTRAST, [](SPictureSettings& s) { s.nContrast -= kLevelStep; }, nullptr},
    {ID_VIEW_NORMAL_PICTURE, [](SPictureSettings& s) { s.nBrightness = s.nContrast = 0; }, nullptr},
    {ID_VIEW_ZOOM_100, [](SPictureSettings& s) { s.nZoom = 100; }, [](const SPictureSettings& s) { return s.nZoom == 100; }},
    {ID_VIEW_ZOOM_150, [](SPictureSettings& s) { s.nZoom = 150; }, [](const SPictureSettings& s) { return s.nZoom == 150; }},
    {ID_VIEW_ZOOM_200, [](SPictureSettings& s) { s.nZoom = 200; }, [](const SPictureSettings& s) { return s.nZoom == 200; }},
    {ID_VIEW_ZOOM_300, [](SPictureSettings& s) { s.nZoom = 300; }, [](const SPictureSettings& s) { return s.nZoom == 300; }},
    {ID_VIEW_ZOOM_IN, [](SPictureSettings& s) { s.nZoom = s.GetZoomStep(1); }, nullptr},
    {ID_VIEW_ZOOM_OUT, [](SPictureSettings& s) { s.nZoom = s.GetZoomStep(-1); }, nullptr},
    // Raising the right side: shorter columns, whose rows climb as the picture goes on.
    {ID_VIEW_SLANT_UP, [](SPictureSettings& s) { s.nSlant -= kSlantStep; }, nullptr},
    {ID_VIEW_SLANT_DOWN, [](SPictureSettings& s) { s.nSlant += kSlantStep; }, nullptr},
    {ID_VIEW_SLANT_NONE, [](SPictureSettings& s) { s.nSlant = 0; }, nullptr},
};
} // namespace

CPictureCommands::CPictureCommands(CSkrivelDoc& doc, CSkrivelRxView& rxView, QWidget& pictureBar)
    : m_Doc(doc), m_RxView(rxView), m_PictureBar(pictureBar)
{
}

bool CPictureCommands::OnCmdMsg(int nID, CCmdUI* pCmdUI)
{
    if (nID == ID_FILE_EXPORT_PICTURE)
    {
        if (pCmdUI == nullptr)
            m_RxView.OnExportPicture();
        return true;
    }
    if (nID == ID_VIEW_PICTURE_BAR)
    {
        if (pCmdUI == nullptr)
            m_PictureBar.setVisible(m_PictureBar.isHidden());
        else
            pCmdUI->SetCheck(!m_PictureBar.isHidden());
        return true;
    }
    const auto it = std::find_if(std::begin(kPictureCommands), std::end(kPictureCommands),
                                 [nID](const SPictureCommand& command) { return command.nID == nID; });
    if (it == std::end(kPictureCommands))
        return false;
    SPictureSettings changed = m_Doc.m_Picture;
    it->pfnChange(changed);
    if (pCmdUI == nullptr)
        m_Doc.SetPicture(changed);
    else if (it->pfnMarked != nullptr)
        pCmdUI->SetRadio(it->pfnMarked(m_Doc.m_Picture));
    else
        pCmdUI->Enable(changed.Clamped() != m_Doc.m_Picture);
    return true;
}
