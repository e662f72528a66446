#pragma once

#include <QToolBar>

class CSkrivelDoc;
class QComboBox;
class QSlider;
class QSpinBox;

// The picture's controls in a bar of their own, under the picture: brightness and contrast
// sliders, the zoom and the slant correction in ppm. Each change is painted at once and kept
// in the document's picture settings. The controls take no keyboard focus but the slant's,
// which is typed into, so that keys stay with the panes.
class CPictureBar : public QToolBar
{
    Q_OBJECT

public:
    explicit CPictureBar(CSkrivelDoc& doc, QWidget* pParent = nullptr);

    // Shows the document's settings, as the menu commands or a drag may have changed them.
    void Update();

private:
    // The settings the controls show go to the document.
    void Apply();

    CSkrivelDoc& m_Doc;
    QSlider* m_pBrightness;
    QSlider* m_pContrast;
    QComboBox* m_pZoom;
    QSpinBox* m_pSlant;
};
