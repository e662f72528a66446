#include "ui/SkrivelRxView.h"

#include "doc/FileErrorText.h"
#include "doc/SkrivelDoc.h"
#include "ui/CmdUI.h"
#include "ui/CommandIds.h"
#include "ui/PictureExport.h"
#include "ui/PrintCommands.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
constexpr int kBandHeight = CRxPicture::kBandHeight;
constexpr int kBottomMargin = 4; // below the last band (unzoomed)
constexpr int kFollowSlack = 64; // how near the end still counts as at the end (unzoomed)
constexpr int kCharacterWidth = 21; // 7 columns of 3 pixels (unzoomed)
constexpr int kLineHeight = 30;     // half a band (unzoomed)
// The shortest drag that sets the slant: one character across (unzoomed pixels).
constexpr int kMinSlantDrag = kCharacterWidth;
constexpr double kRowsPerColumn = CRxStore::kRowsPerColumn;
constexpr double kColumnWidth = 3;

const char kOnlyOneFile[] = "Hey! Only one file at a time!";
const char kCantPrint[] = "Can't start printing";

// The local files of a drop, or none when anything dropped is not a local file.
QStringList LocalFiles(const QMimeData* pMime)
{
    QStringList files;
    if (pMime == nullptr || !pMime->hasUrls())
        return files;
    for (const QUrl& url : pMime->urls())
    {
        if (!url.isLocalFile())
            return {};
        files.append(url.toLocalFile());
    }
    return files;
}
} // namespace

CSkrivelRxView::CSkrivelRxView(CSkrivelDoc& doc, QWidget* pParent)
    : QAbstractScrollArea(pParent), m_Doc(doc), m_Picture(doc.m_RxStore)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    TakeLook();
    UpdateSteps();
    UpdateScrollSizes();
    m_Doc.SetRxDisplay(this);
}

CSkrivelRxView::~CSkrivelRxView()
{
    if (m_Doc.GetRxView() == this)
        m_Doc.SetRxDisplay(nullptr);
}

QSize CSkrivelRxView::GetTotalSize() const
{
    return m_Picture.GetSize();
}

bool CSkrivelRxView::TakeLook()
{
    const int nZoom = m_Picture.GetZoom();
    const int nSlant = m_Picture.GetSlant();
    m_Picture.SetLook(m_Doc.m_bReverseVideo, m_Doc.m_Picture);
    return m_Picture.GetZoom() != nZoom || m_Picture.GetSlant() != nSlant;
}

QPoint CSkrivelRxView::GetOrigin() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

// ---- Drawing -----------------------------------------------------------------------------------

void CSkrivelRxView::paintEvent(QPaintEvent* pEvent)
{
    TakeLook();
    const QPoint origin = GetOrigin();
    QPainter painter(viewport());
    painter.translate(-origin);
    m_Picture.Draw(painter, pEvent->rect().translated(origin));
    if (m_bDragging)
    {
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawLine(m_DragFrom, m_DragTo);
    }
}

void CSkrivelRxView::PaintColumn(int nPage, int nColumn)
{
    viewport()->update(m_Picture.GetStoredColumnRegion(nPage, nColumn).translated(-GetOrigin()));
    // A slant correction cuts the samples into columns of another length: its bands begin
    // when the store's pages do not.
    if (m_Picture.GetBandCount() != m_nBands)
    {
        UpdateScrollSizes();
        FollowEnd();
    }
}

// ---- Scrolling ---------------------------------------------------------------------------------

void CSkrivelRxView::UpdateScrollSizes()
{
    m_nBands = m_Picture.GetBandCount();
    const QSize total = GetTotalSize();
    const QSize client = viewport()->size();
    QScrollBar* pHorz = horizontalScrollBar();
    pHorz->setRange(0, std::max(0, total.width() - client.width()));
    pHorz->setPageStep(m_sizePage.width());
    pHorz->setSingleStep(m_sizeLine.width());
    QScrollBar* pVert = verticalScrollBar();
    pVert->setRange(0, std::max(0, total.height() - client.height()));
    // A window lower than one band has no whole-band page step: a page is then the window.
    pVert->setPageStep(m_sizePage.height() > 0 ? m_sizePage.height() : std::max(1, client.height()));
    pVert->setSingleStep(m_sizeLine.height());
}

void CSkrivelRxView::ScrollToEnd()
{
    UpdateScrollSizes();
    const int nTotal = GetTotalSize().height();
    const int nClient = viewport()->height();
    verticalScrollBar()->setValue(nTotal > nClient ? nTotal - nClient : 0);
    horizontalScrollBar()->setValue(0);
}

bool CSkrivelRxView::IsAtEnd(int nViewportHeight) const
{
    return verticalScrollBar()->value() + nViewportHeight >=
           GetTotalSize().height() - m_Picture.Zoomed(kFollowSlack);
}

void CSkrivelRxView::FollowEnd()
{
    if (IsAtEnd(viewport()->height()))
        ScrollToEnd();
}

void CSkrivelRxView::OnUpdate()
{
    // Zoomed, the picture keeps the point at the top left of the window in place, or its end in
    // view when it was there.
    const bool bAtEnd = IsAtEnd(viewport()->height());
    const QPoint unzoomed(m_Picture.Unzoomed(horizontalScrollBar()->value()),
                          m_Picture.Unzoomed(verticalScrollBar()->value()));
    const bool bReshaped = TakeLook();
    UpdateSteps();
    UpdateScrollSizes();
    if (bReshaped && bAtEnd)
        ScrollToEnd();
    else if (bReshaped)
    {
        horizontalScrollBar()->setValue(m_Picture.Zoomed(unzoomed.x()));
        verticalScrollBar()->setValue(m_Picture.Zoomed(unzoomed.y()));
    }
    viewport()->update();
}

void CSkrivelRxView::UpdateSteps()
{
    m_sizeLine = QSize(m_Picture.Zoomed(kCharacterWidth), m_Picture.Zoomed(kLineHeight));
    m_sizePage.setWidth(m_Picture.Zoomed(kCharacterWidth));
    // Whole bands per page step.
    const int nBand = m_Picture.Zoomed(kBandHeight);
    m_sizePage.setHeight(viewport()->height() / nBand * nBand);
}

void CSkrivelRxView::resizeEvent(QResizeEvent* pEvent)
{
    // A picture followed at its end before the pane shrank stays at its end, however much it
    // shrank.
    const bool bAtEnd = viewport()->height() < m_nViewportHeight && IsAtEnd(m_nViewportHeight);
    m_nViewportHeight = viewport()->height();
    UpdateSteps();
    UpdateScrollSizes();
    if (bAtEnd)
        ScrollToEnd();
    QAbstractScrollArea::resizeEvent(pEvent);
}

void CSkrivelRxView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

void CSkrivelRxView::keyPressEvent(QKeyEvent* pEvent)
{
    QScrollBar* pVert = verticalScrollBar();
    QScrollBar* pHorz = horizontalScrollBar();
    switch (pEvent->key())
    {
    case Qt::Key_PageUp:
        pVert->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        pVert->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Home:
        pVert->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case Qt::Key_End:
        pVert->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    case Qt::Key_Up:
        pVert->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        pVert->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Left:
        pHorz->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        pHorz->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    default:
        // Text typed here is meant for the transmit pane; focus moves stay here.
        if (m_TypingHandler && !pEvent->text().isEmpty() && pEvent->key() != Qt::Key_Tab &&
            pEvent->key() != Qt::Key_Backtab && pEvent->key() != Qt::Key_Escape)
            m_TypingHandler(*pEvent);
        else
            // The base class scrolls on some keys itself; only the others go to it.
            QAbstractScrollArea::keyPressEvent(pEvent);
        return;
    }
    pEvent->accept();
}

// ---- Slant by dragging -------------------------------------------------------------------------

void CSkrivelRxView::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(pEvent);
    m_bDragging = true;
    m_DragFrom = m_DragTo = pEvent->position().toPoint() + GetOrigin();
    viewport()->setCursor(Qt::CrossCursor);
}

void CSkrivelRxView::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!m_bDragging)
        return QAbstractScrollArea::mouseMoveEvent(pEvent);
    viewport()->update(GetDragRect());
    m_DragTo = pEvent->position().toPoint() + GetOrigin();
    viewport()->update(GetDragRect());
}

void CSkrivelRxView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (!m_bDragging || pEvent->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseReleaseEvent(pEvent);
    m_bDragging = false;
    viewport()->unsetCursor();
    viewport()->update(GetDragRect());
    m_DragTo = pEvent->position().toPoint() + GetOrigin();
    // The edge climbs so many rows a column: the station's columns are that much longer than
    // the picture's now (shorter where it falls). A drag shorter than a character is a click.
    const int nAcross = m_Picture.Unzoomed(m_DragTo.x()) - m_Picture.Unzoomed(m_DragFrom.x());
    if (std::abs(nAcross) < kMinSlantDrag)
        return;
    const int nUp = m_Picture.Unzoomed(m_DragFrom.y()) - m_Picture.Unzoomed(m_DragTo.y());
    const double dRowsPerColumn = nUp / (nAcross / kColumnWidth);
    SPictureSettings settings = m_Doc.m_Picture;
    settings.nSlant += static_cast<int>(std::lround(dRowsPerColumn / kRowsPerColumn * 1e6));
    m_Doc.SetPicture(settings);
    emit PictureSettingsChanged();
}

QRect CSkrivelRxView::GetDragRect() const
{
    return QRect(m_DragFrom, m_DragTo).normalized().adjusted(-1, -1, 1, 1).translated(-GetOrigin());
}

// ---- Dropped files -----------------------------------------------------------------------------

void CSkrivelRxView::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (!LocalFiles(pEvent->mimeData()).isEmpty())
        pEvent->acceptProposedAction();
}

void CSkrivelRxView::dragMoveEvent(QDragMoveEvent* pEvent)
{
    if (!LocalFiles(pEvent->mimeData()).isEmpty())
        pEvent->acceptProposedAction();
}

void CSkrivelRxView::dropEvent(QDropEvent* pEvent)
{
    const QStringList files = LocalFiles(pEvent->mimeData());
    if (files.isEmpty())
        return;
    pEvent->acceptProposedAction();
    // Opening or asking happens after the drop has finished, so the drag source is not kept
    // waiting on a message box or a long load.
    QMetaObject::invokeMethod(
        this,
        [this, files]
        {
            if (files.size() != 1)
                ShowMessage(kOnlyOneFile);
            else if (m_OpenFileHandler)
                m_OpenFileHandler(files.front());
            else
                m_Doc.OnOpenDocument(QFile::encodeName(files.front()).toStdString());
        },
        Qt::QueuedConnection);
}

void CSkrivelRxView::ShowMessage(const QString& strText)
{
    if (m_MessageHandler)
        m_MessageHandler(strText);
    else
        QMessageBox::information(this, QStringLiteral("skrivel"), strText);
}

// ---- Export ------------------------------------------------------------------------------------

void CSkrivelRxView::OnExportPicture()
{
    QString strPath;
    bool bInViewOnly = false;
    if (!PictureExport::Ask(this, strPath, bInViewOnly))
        return;
    const std::string strFile = QFile::encodeName(strPath).toStdString();
    if (const int nError = ExportPicture(strFile, bInViewOnly); nError != 0)
        ShowMessage(QString::fromStdString(FileErrorText::For(FileErrorText::Operation::Save, nError, strFile)));
}

int CSkrivelRxView::ExportPicture(const std::string& strPath, bool bInViewOnly)
{
    TakeLook();
    QRect rPart(QPoint(0, 0), m_Picture.GetSize());
    if (bInViewOnly)
        rPart &= viewport()->rect().translated(GetOrigin());
    const QColor background = viewport()->palette().color(viewport()->backgroundRole());
    return PictureExport::Write(strPath, rPart.width(), rPart.height(), background,
                                [this, rPart](QPainter& painter, const QRect& rStrip)
                                {
                                    painter.translate(-rPart.topLeft());
                                    m_Picture.Draw(painter, rStrip.translated(rPart.topLeft()));
                                });
}

// ---- Printing ----------------------------------------------------------------------------------

bool CSkrivelRxView::Print(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The picture as painted, at its own size: the page width scales it.
    CRxPicture printed(m_Doc.m_RxStore);
    SPictureSettings settings = m_Doc.m_Picture;
    settings.nZoom = 100;
    printed.SetLook(m_Doc.m_bReverseVideo, settings);
    const int nBands = printed.GetBandCount();
    const int nWidth = printed.GetSize().width();
    const double dScale = static_cast<double>(printer.width()) / nWidth;
    const int nBandsPerSheet =
        std::max(1, static_cast<int>((printer.height() / dScale - kBottomMargin) / kBandHeight));
    for (int nFirst = 0; nFirst < nBands; nFirst += nBandsPerSheet)
    {
        if (nFirst > 0)
            printer.newPage();
        painter.save();
        painter.scale(dScale, dScale);
        painter.translate(0, -kBandHeight * nFirst);
        const int nEnd = std::min(nBands, nFirst + nBandsPerSheet);
        printed.Draw(painter, QRect(0, kBandHeight * nFirst, nWidth, kBandHeight * (nEnd - nFirst)));
        painter.restore();
    }
    return painter.end();
}

QPrinter& CSkrivelRxView::GetPrinter()
{
    if (m_pPrinter != nullptr)
        return *m_pPrinter;
    if (!m_pOwnPrinter)
        m_pOwnPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pOwnPrinter;
}

void CSkrivelRxView::PrintOrComplain(QPrinter& printer)
{
    if (!Print(printer))
        ShowMessage(kCantPrint);
}

bool CSkrivelRxView::OnCmdMsg(int nID, CCmdUI* pCmdUI)
{
    if (nID != ID_FILE_PRINT && nID != ID_FILE_PRINT_DIRECT && nID != ID_FILE_PRINT_PREVIEW)
        return false;
    if (pCmdUI != nullptr)
    {
        pCmdUI->Enable(true);
        return true;
    }
    const PrintCommands::Render render = std::bind_front(&CSkrivelRxView::PrintOrComplain, this);
    if (nID == ID_FILE_PRINT)
        PrintCommands::Print(GetPrinter(), this, render);
    else if (nID == ID_FILE_PRINT_PREVIEW)
        PrintCommands::Preview(GetPrinter(), this, render);
    else
        render(GetPrinter());
    return true;
}
