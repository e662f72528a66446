#include "ui/SkrivelRxView.h"

#include "doc/SkrivelDoc.h"
#include "ui/CmdUI.h"
#include "ui/CommandIds.h"
#include "ui/PrintCommands.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>
#include <cstdint>

namespace
{
// Geometry of the picture, in pixels.
constexpr int kRows = CRxStore::kRowsPerColumn;     // 28
constexpr int kColumns = CRxStore::kColumnsPerPage; // 245
constexpr int kBandHeight = 60;                     // one page of the store
constexpr int kMargin = 4;                          // left and top of every band, bottom of the picture
constexpr int kColumnWidth = 3;                     // every column is 3 pixels wide
constexpr int kLowerCopyTop = kMargin + kRows;      // 32: the lower copy within its band
constexpr int kPictureWidth = 746;                  // 245 columns, one column of shift, margins
constexpr int kFollowSlack = 64;                    // how near the end still counts as at the end
constexpr int kLastLowerPixel = kBandHeight - 1;    // 59: last row of a lower copy within its band
constexpr int kFootprint = 2 * kColumnWidth;        // a column and its shifted copy side by side

const char kOnlyOneFile[] = "Hey! Only one file at a time!";
const char kCantPrint[] = "Can't start printing";

int FloorDiv(int n, int d)
{
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

int CeilDiv(int n, int d)
{
    return -FloorDiv(-n, d);
}

QRect UpperCopyRect(int nPage, int nColumn)
{
    return {kMargin + kColumnWidth * nColumn, kBandHeight * nPage + kMargin, kColumnWidth, kRows};
}

QRect LowerCopyRect(int nPage, int nColumn)
{
    return {kMargin + kColumnWidth * (nColumn + 1), kBandHeight * nPage + kLowerCopyTop, kColumnWidth, kRows};
}

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
    : QAbstractScrollArea(pParent), m_Doc(doc),
      m_BandImage(kColumnWidth * kColumns, kRows, QImage::Format_Grayscale8)
{
    m_BandImage.fill(0);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
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
    return {kPictureWidth, kBandHeight * m_Doc.m_RxStore.m_nRxPages + kMargin};
}

int CSkrivelRxView::GetColumnCount(int nPage) const
{
    const CRxStore& store = m_Doc.m_RxStore;
    // The column being written is drawn too, with the rows it holds so far.
    return nPage == store.m_nRxPages - 1 ? store.m_nRxColumn + 1 : kColumns;
}

// ---- Drawing -----------------------------------------------------------------------------------

void CSkrivelRxView::DrawColumns(QPainter& painter, int nPage, int nFirst, int nLast)
{
    const std::uint8_t* pPage = m_Doc.m_RxStore.m_RxPages[nPage]->data();
    const std::uint8_t nMask = m_Doc.m_bReverseVideo ? 0xFF : 0x00; // v ^ 0xFF == 255 - v
    uchar* pBits = m_BandImage.bits();
    const qsizetype nStride = m_BandImage.bytesPerLine();
    // Image line y holds row 27 - y: the first sample of a column is at the bottom.
    for (int y = 0; y < kRows; ++y)
    {
        const std::uint8_t* pSample = pPage + (kRows - 1 - y) + nFirst * kRows;
        uchar* pPixel = pBits + y * nStride + nFirst * kColumnWidth;
        for (int j = nFirst; j <= nLast; ++j, pSample += kRows, pPixel += kColumnWidth)
        {
            const uchar g = *pSample ^ nMask;
            pPixel[0] = g;
            pPixel[1] = g;
            pPixel[2] = g;
        }
    }
    const QRect rSource(nFirst * kColumnWidth, 0, (nLast - nFirst + 1) * kColumnWidth, kRows);
    painter.drawImage(UpperCopyRect(nPage, nFirst).topLeft(), m_BandImage, rSource);
    painter.drawImage(LowerCopyRect(nPage, nFirst).topLeft(), m_BandImage, rSource);
}

void CSkrivelRxView::DrawPicture(QPainter& painter, const QRect& rClip)
{
    const int nPages = m_Doc.m_RxStore.m_nRxPages;
    if (nPages == 0 || rClip.isEmpty())
        return;
    // Bands whose rows 60k+4 .. 60k+59 meet the clip, columns whose 6-pixel footprint does.
    const int nFirstPage = std::max(0, CeilDiv(rClip.top() - kLastLowerPixel, kBandHeight));
    const int nLastPage = std::min(nPages - 1, FloorDiv(rClip.bottom() - kMargin, kBandHeight));
    const int nFirstColumn = std::max(0, CeilDiv(rClip.left() - kMargin - kFootprint + 1, kColumnWidth));
    const int nLastColumn = FloorDiv(rClip.right() - kMargin, kColumnWidth);
    for (int k = nFirstPage; k <= nLastPage; ++k)
    {
        const int nLast = std::min(nLastColumn, GetColumnCount(k) - 1);
        if (nFirstColumn <= nLast)
            DrawColumns(painter, k, nFirstColumn, nLast);
    }
}

void CSkrivelRxView::paintEvent(QPaintEvent* pEvent)
{
    const QPoint origin(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QPainter painter(viewport());
    painter.translate(-origin);
    DrawPicture(painter, pEvent->rect().translated(origin));
}

void CSkrivelRxView::PaintColumn(int nPage, int nColumn)
{
    const QPoint origin(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QRegion region(UpperCopyRect(nPage, nColumn).translated(-origin));
    region += LowerCopyRect(nPage, nColumn).translated(-origin);
    viewport()->update(region);
}

// ---- Scrolling ---------------------------------------------------------------------------------

void CSkrivelRxView::UpdateScrollSizes()
{
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
    return verticalScrollBar()->value() + nViewportHeight >= GetTotalSize().height() - kFollowSlack;
}

void CSkrivelRxView::FollowEnd()
{
    if (IsAtEnd(viewport()->height()))
        ScrollToEnd();
}

void CSkrivelRxView::OnUpdate()
{
    UpdateScrollSizes();
    viewport()->update();
}

void CSkrivelRxView::resizeEvent(QResizeEvent* pEvent)
{
    // A picture followed at its end before the pane shrank stays at its end, however much it
    // shrank.
    const bool bAtEnd = viewport()->height() < m_nViewportHeight && IsAtEnd(m_nViewportHeight);
    m_nViewportHeight = viewport()->height();
    // Whole bands per page step.
    m_sizePage.setHeight(viewport()->height() / kBandHeight * kBandHeight);
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

// ---- Printing ----------------------------------------------------------------------------------

bool CSkrivelRxView::Print(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const int nPages = m_Doc.m_RxStore.m_nRxPages;
    const double dScale = static_cast<double>(printer.width()) / kPictureWidth;
    const int nBandsPerSheet =
        std::max(1, static_cast<int>((printer.height() / dScale - kMargin) / kBandHeight));
    for (int nFirst = 0; nFirst < nPages; nFirst += nBandsPerSheet)
    {
        if (nFirst > 0)
            printer.newPage();
        painter.save();
        painter.scale(dScale, dScale);
        painter.translate(0, -kBandHeight * nFirst);
        const int nEnd = std::min(nPages, nFirst + nBandsPerSheet);
        for (int k = nFirst; k < nEnd; ++k)
            DrawColumns(painter, k, 0, GetColumnCount(k) - 1);
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
