#pragma once

#include "doc/IWaterfallDisplay.h"

#include <QImage>
#include <QWidget>

class CSkrivelDoc;
class QCheckBox;

// The waterfall above the receive picture, for a port that hears audio: the received spectrum
// (about 200 to 3000 Hz) scrolling down, the newest line on top, under a ruler that marks the
// tone (red), where the receiver listens as AFC follows a signal (yellow) and, when split, the
// transmit tone (blue). A click sets the tone; beside it AFC and Split are switched.
class CWaterfallView : public QWidget, public IWaterfallDisplay
{
    Q_OBJECT

public:
    static constexpr int kRulerHeight = 12;
    static constexpr int kLines = 60;

    // The document must outlive the view.
    CWaterfallView(CSkrivelDoc& doc, QWidget* pParent);

    void AddSpectrumLine(const CSpectrumLine& line) override;
    // The switches as the document has them.
    void UpdateControls();

    // Where a frequency lies across the spectrum, and back.
    int XOfHz(double dHz) const;
    double HzOfX(int x) const;
    // The part that shows the spectrum and the ruler.
    QRect GetSpectrumRect() const;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;

private:
    CSkrivelDoc& m_Doc;
    QCheckBox* m_pAfc;
    QCheckBox* m_pSplit;
    QWidget* m_pControls;
    QImage m_Image; // one pixel a bin and a line, the newest line on top
    double m_dFirstHz;
    double m_dLastHz;
};
