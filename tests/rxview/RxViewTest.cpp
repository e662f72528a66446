// The receive view on the offscreen platform: pixels of the grabbed viewport at the picture's
// coordinates, scrolling, keys, dropped files and printing to PDF; the picture controls
// (brightness, contrast, zoom, slant correction) against the stored samples, dragging along a
// slanted edge, and the exported PNG against the painted picture.

#include "doc/SkrivelDoc.h"
#include "support/DropEvents.h"
#include "support/MemoryProfile.h"
#include "support/RecordingHost.h"
#include "ui/CmdUI.h"
#include "ui/CommandIds.h"
#include "ui/SkrivelRxView.h"

#include <QFile>
#include <QPaintEvent>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
constexpr int kColumnBytes = 28;
constexpr int kPageBytes = 6860;

// Every pixel of r in img has colour c.
bool AllOf(const QImage& img, const QRect& r, QRgb c)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != c)
                return false;
    return true;
}

// The grey that a level is painted in: reversed for black on white, contrast as a factor of 2 for
// every 50 about mid-grey, brightness as a share of the whole range.
int Painted(int nLevel, bool bReverse, const SPictureSettings& settings)
{
    const double dShown = bReverse ? 255 - nLevel : nLevel;
    const double dGrey =
        (dShown - 127.5) * std::exp2(settings.nContrast / 50.0) + 127.5 + settings.nBrightness * 2.55;
    return static_cast<int>(std::clamp(std::lround(dGrey), 0L, 255L));
}

// The picture as the stored samples make it, pixel by pixel: pixel (x, y) of the zoomed picture
// shows unzoomed pixel (x, y) / zoom. Bands of 60 rows: 4 of margin, the upper copy of each column
// (3 pixels from x = 4), the lower copy one column to the right; row 0 of a column at the bottom.
// With a slant correction column n shows the 28 samples from 28 n + round(28 n ppm / 10^6).
class CPictureModel
{
public:
    CPictureModel(const std::vector<std::uint8_t>& samples, bool bReverse, const SPictureSettings& settings)
        : m_Samples(samples), m_bReverse(bReverse), m_Settings(settings)
    {
        // Every column that begins at or before the end of the samples is drawn.
        while (Start(m_nColumns) <= static_cast<std::int64_t>(samples.size()))
            ++m_nColumns;
    }
    std::int64_t Start(std::int64_t n) const
    {
        return 28 * n + std::llround(28.0 * static_cast<double>(n) * m_Settings.nSlant / 1e6);
    }
    // The grey at (x, y), or -1 for the background.
    int GreyAt(int x, int y) const
    {
        const int u = x * 100 / m_Settings.nZoom;
        const int v = y * 100 / m_Settings.nZoom;
        const int nBand = v / 60;
        const int w = v % 60;
        if (w < 4)
            return -1;
        const bool bLower = w >= 32;
        const int nLeft = bLower ? 7 : 4;
        if (u < nLeft || (u - nLeft) / 3 >= 245)
            return -1;
        const std::int64_t n = std::int64_t{nBand} * 245 + (u - nLeft) / 3;
        if (n >= m_nColumns)
            return -1;
        const int nRow = 27 - (w - (bLower ? 32 : 4));
        const std::int64_t i = Start(n) + nRow;
        const int nLevel = i < static_cast<std::int64_t>(m_Samples.size()) ? m_Samples[i] : 0;
        return Painted(nLevel, m_bReverse, m_Settings);
    }

private:
    const std::vector<std::uint8_t>& m_Samples;
    bool m_bReverse;
    SPictureSettings m_Settings;
    std::int64_t m_nColumns = 0;
};

// Samples of a station whose columns are nLength samples long (28 and a fraction: its clock runs
// slow): level 255 at rows 10 and 11 of every column, 0 elsewhere.
std::vector<std::uint8_t> DriftingStation(double dLength, int nColumns)
{
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(dLength * nColumns));
    for (int m = 0; m < nColumns; ++m)
    {
        const auto nStart = static_cast<std::size_t>(std::floor(m * dLength));
        samples[nStart + 10] = samples[nStart + 11] = 255;
    }
    return samples;
}

// Records the regions the viewport is asked to paint.
class CPaintSpy : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Paint)
            m_Region += static_cast<QPaintEvent*>(pEvent)->region();
        return false;
    }
    QRegion m_Region;
};
} // namespace

class CRxViewTest : public QObject
{
    Q_OBJECT

    CMemoryProfile m_Profile;
    CRecordingHost m_Host;
    std::unique_ptr<CSkrivelDoc> m_pDoc;
    std::unique_ptr<CSkrivelRxView> m_pView;
    QStringList m_Messages;

    // The upper and lower copies of column j of page k.
    static QRect Upper(int k, int j) { return {4 + 3 * j, 60 * k + 4, 3, 28}; }
    static QRect Lower(int k, int j) { return {7 + 3 * j, 60 * k + 32, 3, 28}; }
    static bool AllGrey(const QImage& img, const QRect& r, int g) { return AllOf(img, r, qRgb(g, g, g)); }

    void Show(int nWidth, int nHeight)
    {
        m_pView->resize(nWidth, nHeight);
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView.get()));
    }
    // Stores bytes as the file loader does, then refreshes the view.
    void Load(const std::vector<std::uint8_t>& bytes)
    {
        m_pDoc->m_RxStore.Append(bytes.data(), bytes.size());
        m_pView->OnUpdate();
    }
    // nPages full pages: the store then has one more, empty, being written.
    void LoadPages(int nPages, std::uint8_t nValue = 0)
    {
        Load(std::vector<std::uint8_t>(static_cast<std::size_t>(nPages) * kPageBytes, nValue));
    }
    // Stores samples as the heartbeat does, nValue or else a varying pattern, letting the view paint
    // as it goes.
    void Receive(int nSamples, int nValue = -1)
    {
        for (int i = 0; i < nSamples; ++i)
        {
            m_pDoc->StoreRxPixel(static_cast<std::uint8_t>(nValue >= 0 ? nValue : i * 7 + i / kColumnBytes),
                                 true);
            if (i % (2 * kColumnBytes) == 0)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
    }
    QImage Grab() const
    {
        return m_pView->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QRgb Background() const { return m_pView->viewport()->palette().color(QPalette::Base).rgb(); }
    int Scroll() const { return m_pView->verticalScrollBar()->value(); }
    void Drop(const QStringList& paths) { QVERIFY(DropOn(m_pView->viewport(), QPoint(50, 50), {}, paths)); }
    QPoint Origin() const
    {
        return {m_pView->horizontalScrollBar()->value(), m_pView->verticalScrollBar()->value()};
    }
    // Every pixel of the viewport is what the model says, or the background where it says none.
    bool MatchesModel(const CPictureModel& model, QString& strWhere) const
    {
        const QImage img = Grab();
        const QPoint origin = Origin();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
            {
                const int nGrey = model.GreyAt(x + origin.x(), y + origin.y());
                const QRgb expected = nGrey < 0 ? Background() : qRgb(nGrey, nGrey, nGrey);
                if (img.pixel(x, y) != expected)
                {
                    strWhere = QStringLiteral("(%1, %2) of the picture: %3, not %4")
                                   .arg(x + origin.x())
                                   .arg(y + origin.y())
                                   .arg(qRed(img.pixel(x, y)))
                                   .arg(nGrey);
                    return false;
                }
            }
        return true;
    }
    // The rows (0 at the bottom) of the brightest pixels of each upper copy in the first nBands
    // bands: where a drawn line lies.
    std::vector<int> MarkRows(int nBands) const
    {
        const QImage img = Grab();
        std::vector<int> rows;
        for (int k = 0; k < nBands; ++k)
            for (int j = 0; j < 245; ++j)
                for (int r = 0; r < 28; ++r)
                    if (qRed(img.pixel(5 + 3 * j, 60 * k + 4 + 27 - r)) == 255)
                    {
                        rows.push_back(r);
                        break;
                    }
        return rows;
    }

private slots:
    void init()
    {
        m_pDoc = std::make_unique<CSkrivelDoc>(m_Profile, m_Host);
        m_pView = std::make_unique<CSkrivelRxView>(*m_pDoc);
        m_pView->SetMessageHandler([this](const QString& strText) { m_Messages.append(strText); });
        m_pDoc->DeleteContents();
        m_Messages.clear();
    }
    void cleanup()
    {
        m_pView.reset();
        m_pDoc.reset();
    }

    void geometryAndGreysInBothColourSettings()
    {
        Show(800, 200);
        std::vector<std::uint8_t> bytes(kPageBytes + kColumnBytes, 100);
        const std::uint8_t firstColumns[] = {0, 255, 77};
        for (int k = 0; k < 3; ++k)
            std::fill_n(bytes.begin() + k * kColumnBytes, kColumnBytes, firstColumns[k]);
        for (int r = 0; r < kColumnBytes; ++r)
            bytes[5 * kColumnBytes + r] = static_cast<std::uint8_t>(9 * r); // page 0, column 5
        Load(bytes);
        for (const bool bReverse : {false, true})
        {
            bReverse ? m_pDoc->OnBlackOnWhite() : m_pDoc->OnWhiteOnBlack();
            const auto shown = [bReverse](int nByte) { return bReverse ? 255 - nByte : nByte; };
            const QImage img = Grab();
            for (int k = 0; k < 3; ++k)
            {
                QVERIFY(AllGrey(img, Upper(0, k), shown(firstColumns[k])));
                QVERIFY(AllGrey(img, Lower(0, k), shown(firstColumns[k])));
            }
            // Row 0 is at the bottom of both copies.
            for (int r = 0; r < kColumnBytes; ++r)
            {
                QVERIFY(AllGrey(img, QRect(19, 4 + 27 - r, 3, 1), shown(9 * r)));
                QVERIFY(AllGrey(img, QRect(22, 32 + 27 - r, 3, 1), shown(9 * r)));
            }
            // Column 244 ends a band, and nothing is beside it.
            QVERIFY(AllGrey(img, QRect(736, 4, 3, 28), shown(100)));
            QVERIFY(AllGrey(img, QRect(739, 32, 3, 28), shown(100)));
            QVERIFY(AllOf(img, QRect(739, 4, 7, 28), Background()));
            QVERIFY(AllOf(img, QRect(742, 32, 4, 28), Background()));
            // Margins: left of column 0's lower copy, above the first band, between bands.
            QVERIFY(AllOf(img, QRect(0, 32, 7, 28), Background()));
            QVERIFY(AllOf(img, QRect(0, 0, 746, 4), Background()));
            QVERIFY(AllOf(img, QRect(0, 60, 746, 4), Background()));
            // Page 1: the complete column and the one being written; nothing after.
            QVERIFY(AllGrey(img, Upper(1, 0), shown(100)) && AllGrey(img, Lower(1, 1), shown(0)));
            QVERIFY(AllOf(img, Upper(1, 2), Background()) && AllOf(img, Lower(1, 2), Background()));
        }
    }

    void clearedStoreDrawsOneColumnAndItsPartialRows()
    {
        Show(800, 200);
        QCOMPARE(m_pView->GetTotalSize(), QSize(746, 64));
        QImage img = Grab();
        int nDrawn = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                nDrawn += img.pixel(x, y) != Background();
        QCOMPARE(nDrawn, 2 * 3 * 28);
        QVERIFY(AllGrey(img, Upper(0, 0), 0) && AllGrey(img, Lower(0, 0), 0));

        Load(std::vector<std::uint8_t>(10, 200));
        img = Grab();
        QVERIFY(AllGrey(img, QRect(4, 22, 3, 10), 200) && AllGrey(img, QRect(4, 4, 3, 18), 0));
        QVERIFY(AllGrey(img, QRect(7, 50, 3, 10), 200) && AllGrey(img, QRect(7, 32, 3, 18), 0));
    }

    void paintColumnRepaintsOnlyItsTwoCopies()
    {
        Show(800, 200);
        LoadPages(5);
        m_pView->ScrollToEnd(); // a scrolled origin: 364 - 200
        QCOMPARE(Scroll(), 164);
        Load(std::vector<std::uint8_t>(3 * kColumnBytes + 27, 50));
        CPaintSpy spy;
        m_pView->viewport()->installEventFilter(&spy);
        QTest::qWait(20);
        spy.m_Region = {};
        m_pDoc->StoreRxPixel(50, true); // completes column 3 of page 5
        QTRY_VERIFY(!spy.m_Region.isEmpty());
        const QPoint origin(0, 164);
        QCOMPARE(spy.m_Region, QRegion(Upper(5, 3).translated(-origin)) + Lower(5, 3).translated(-origin));
        const QImage img = Grab();
        QVERIFY(AllGrey(img, Upper(5, 3).translated(-origin), 50));
    }

    // What live reception leaves on screen (column paints and scrolling into the backing store)
    // is what a full repaint draws.
    void livePaintingMatchesAFullRepaint()
    {
        Show(780, 300);
        Receive(9 * kPageBytes + 5000);
        m_pView->verticalScrollBar()->setValue(Scroll() - 37);
        Receive(3000);
        const QImage onScreen = m_pView->screen()->grabWindow(m_pView->winId()).toImage();
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 m_pView->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    void newPageFollowsTheEndOnlyWhenInView()
    {
        Show(800, 300);
        LoadPages(10);
        m_pView->ScrollToEnd();
        QCOMPARE(Scroll(), 664 - 300);
        // Scrolled back five pixels: stays, the range grows by a band.
        m_pView->verticalScrollBar()->setValue(Scroll() - 5);
        Receive(kPageBytes, 1);
        QCOMPARE(Scroll(), 359);
        QCOMPARE(m_pView->verticalScrollBar()->maximum(), 724 - 300);
        // Four pixels back still counts as at the end: the last band comes to the bottom.
        m_pView->verticalScrollBar()->setValue(m_pView->verticalScrollBar()->maximum() - 4);
        Receive(kPageBytes, 1);
        QCOMPARE(Scroll(), 784 - 300);
        const QImage img = Grab();
        QVERIFY(AllGrey(img, Lower(11, 244).translated(0, -Scroll()), 1));
        QVERIFY(AllOf(img, QRect(0, 296, 746, 4), Background()));
    }

    // At the end before the pane shrinks by more than the follow slack: still at the end after.
    void shrinkingPaneKeepsFollowingTheEnd()
    {
        Show(800, 600);
        LoadPages(20);
        m_pView->ScrollToEnd();
        m_pView->resize(800, 300);
        QCOMPARE(Scroll(), m_pView->GetTotalSize().height() - m_pView->viewport()->height());
        Receive(kPageBytes, 1);
        QCOMPARE(Scroll(), m_pView->GetTotalSize().height() - m_pView->viewport()->height());
        // Scrolled away, it stays where the operator put it.
        m_pView->verticalScrollBar()->setValue(100);
        m_pView->resize(800, 200);
        QCOMPARE(Scroll(), 100);
    }

    void keysScrollByWholeBandsAndScrollToEndInATallWindow()
    {
        // A tall window shows everything: the end is the top.
        Show(400, 700);
        LoadPages(2);
        m_pView->horizontalScrollBar()->setValue(100);
        m_pView->ScrollToEnd();
        QCOMPARE(Scroll(), 0);
        QCOMPARE(m_pView->horizontalScrollBar()->value(), 0);

        m_pView->resize(400, 300);
        LoadPages(18);
        QScrollBar* pVert = m_pView->verticalScrollBar();
        const int nMax = pVert->maximum();
        // The horizontal scroll bar takes some of the 300 pixels: four bands per page.
        const std::vector<std::pair<Qt::Key, int>> steps{{Qt::Key_PageDown, 240}, {Qt::Key_Down, 270},
                                                         {Qt::Key_Up, 240},       {Qt::Key_PageUp, 0},
                                                         {Qt::Key_End, nMax},     {Qt::Key_Home, 0}};
        for (const auto& [key, nScroll] : steps)
        {
            QTest::keyClick(m_pView.get(), key);
            QCOMPARE(Scroll(), nScroll);
        }
        QTest::keyClick(m_pView.get(), Qt::Key_Right);
        QCOMPARE(m_pView->horizontalScrollBar()->value(), 21);
        QTest::keyClick(m_pView.get(), Qt::Key_Left);
        QCOMPARE(m_pView->horizontalScrollBar()->value(), 0);
        m_pView->resize(400, 50); // less than a band: the whole height
        QCOMPARE(pVert->pageStep(), m_pView->viewport()->height());
    }

    void droppedFiles()
    {
        Show(800, 200);
        QTemporaryDir dir;
        const QString strFile = dir.filePath("two pages.hel");
        QFile file(strFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(2 * kPageBytes + 30, '\x40')) > 0);
        file.close();
        // No handler: the file is loaded into the document.
        Drop({strFile});
        QCOMPARE(m_pDoc->m_RxStore.m_nRxPages, 3);
        QCOMPARE(m_pDoc->m_RxStore.m_nRxColumn, 1);
        QCOMPARE(m_pDoc->GetPathName(), strFile.toStdString());

        QStringList opened;
        m_pView->SetOpenFileHandler([&opened](const QString& strPath) { opened.append(strPath); });
        Drop({strFile});
        Drop({strFile, dir.filePath("other.hel")});
        QCOMPARE(opened, QStringList{strFile});
        QCOMPARE(m_Messages, QStringList{"Hey! Only one file at a time!"});
    }

    void printsScaledBandsOverPages()
    {
        const QString strPdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (strPdftoppm.isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        CCmdUI state;
        QVERIFY(m_pView->OnCmdMsg(ID_FILE_PRINT_PREVIEW, &state) && state.m_bEnabled);
        QVERIFY(!m_pView->OnCmdMsg(ID_EDIT_COPY, &state));

        // A4 with 10 mm margins: 190 mm wide, so a band is 15.3 mm and 18 fit on a sheet.
        Load(std::vector<std::uint8_t>((36 * 245 + 244) * kColumnBytes, 40)); // 37 bands
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        m_pView->SetPrinter(&printer);
        for (const bool bReverse : {false, true})
        {
            m_pDoc->m_bReverseVideo = bReverse;
            const QString strPdf = dir.filePath(bReverse ? "bow.pdf" : "wob.pdf");
            printer.setOutputFileName(strPdf);
            QVERIFY(m_pView->OnCmdMsg(ID_FILE_PRINT_DIRECT, nullptr));
            QVERIFY(m_Messages.isEmpty());
            // At 25.4 dpi one pixel is one millimetre.
            const QString strPrefix = dir.filePath("sheet");
            QCOMPARE(QProcess::execute(strPdftoppm, {"-r", "25.4", "-gray", "-png", strPdf, strPrefix}), 0);
            QVERIFY(!QFile::exists(strPrefix + "-4.png"));
            const QImage first(strPrefix + "-1.png");
            const QImage last(strPrefix + "-3.png");
            QCOMPARE(first.width(), 210);
            // Columns across the page width, in the chosen grey; paper below the last band.
            const int nGrey = bReverse ? 215 : 40;
            for (const int x : {12, 105, 197})
            {
                QVERIFY(qAbs(qGray(first.pixel(x, 15)) - nGrey) < 12);
                QVERIFY(qAbs(qGray(first.pixel(x, 280)) - nGrey) < 12);
                QVERIFY(qAbs(qGray(last.pixel(x, 15)) - nGrey) < 12);
                QCOMPARE(qGray(last.pixel(x, 40)), 255);
            }
        }
        printer.setOutputFileName(dir.filePath("missing/folder/x.pdf"));
        QVERIFY(m_pView->OnCmdMsg(ID_FILE_PRINT_DIRECT, nullptr));
        QCOMPARE(m_Messages, QStringList{"Can't start printing"});
    }

    void controlsPaintEveryPixelFromTheStoredSamples()
    {
        Show(700, 400);
        std::vector<std::uint8_t> bytes(3 * kPageBytes + 1000);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 37 + i / kColumnBytes * 11);
        Load(bytes);
        struct SCase
        {
            bool bReverse;
            SPictureSettings settings;
        };
        const SCase cases[] = {
            {false, {0, 0, 100, 0}},     {true, {25, 40, 150, 0}},  {false, {-30, -20, 200, 0}},
            {false, {10, 70, 300, 0}},   {true, {0, 0, 150, -3500}}, {false, {0, 20, 100, 4200}},
            {false, {-100, 0, 100, 0}}, {false, {0, -100, 200, 10000}},
        };
        for (const SCase& c : cases)
        {
            c.bReverse ? m_pDoc->OnBlackOnWhite() : m_pDoc->OnWhiteOnBlack();
            m_pDoc->SetPicture(c.settings);
            m_pView->horizontalScrollBar()->setValue(37);
            m_pView->verticalScrollBar()->setValue(101);
            QString strWhere;
            QVERIFY2(MatchesModel(CPictureModel(bytes, c.bReverse, c.settings), strWhere), qPrintable(strWhere));
        }
        // The levels worked out by hand: brightness 20 lifts 100 to 151; contrast 50 doubles the
        // distance from mid-grey, 100 to 73 and 200 to 255; in reverse, 155 and 55 to 183 and 0.
        m_pDoc->DeleteContents();
        Load({100, 200});
        m_pView->ScrollToEnd();
        const std::vector<std::tuple<bool, SPictureSettings, int, int>> spots{
            {false, {20, 0, 100, 0}, 151, 251}, {false, {0, 50, 100, 0}, 73, 255}, {true, {0, 50, 100, 0}, 183, 0}};
        for (const auto& [bReverse, settings, nFirst, nSecond] : spots)
        {
            bReverse ? m_pDoc->OnBlackOnWhite() : m_pDoc->OnWhiteOnBlack();
            m_pDoc->SetPicture(settings);
            const QImage img = Grab();
            QCOMPARE(qRed(img.pixel(5, 31)), nFirst);
            QCOMPARE(qRed(img.pixel(5, 30)), nSecond);
        }
    }

    void slantCorrectionStraightensADriftingStationAndLeavesTheSamples()
    {
        Show(800, 300);
        // 4000 ppm slow: its text climbs 0.112 rows a column, 27 rows a band.
        const std::vector<std::uint8_t> bytes = DriftingStation(28 * 1.004, 3 * 245);
        Load(bytes);
        m_pView->verticalScrollBar()->setValue(0);
        std::vector<int> rows = MarkRows(3);
        QVERIFY(std::count_if(rows.begin(), rows.end(), [](int r) { return r > 14; }) > 100);

        m_pDoc->SetPicture({0, 0, 100, 4000});
        rows = MarkRows(3);
        QVERIFY(rows.size() >= 3 * 245 - 3);
        // Within a row: the station's columns begin on whole samples too.
        QVERIFY(std::all_of(rows.begin(), rows.end(), [](int r) { return r >= 9 && r <= 11; }));
        // Only the painting changed.
        std::vector<std::uint8_t> stored;
        for (int k = 0; k < m_pDoc->m_RxStore.m_nRxPages; ++k)
        {
            const std::uint8_t* pPage = m_pDoc->m_RxStore.m_RxPages[k]->data();
            stored.insert(stored.end(), pPage, pPage + m_pDoc->m_RxStore.GetPageByteCount(k));
        }
        QCOMPARE(stored, bytes);
    }

    void draggingAlongASlantedEdgeStraightensIt()
    {
        Show(800, 300);
        Load(DriftingStation(28 * 1.004, 3 * 245));
        m_pView->verticalScrollBar()->setValue(0);
        // The mark's top row in columns 20 and 120 of the first band, a row above it on screen.
        const auto markTop = [this](int j)
        {
            const QImage img = Grab();
            int y = 4;
            while (qRed(img.pixel(5 + 3 * j, y)) != 255)
                ++y;
            return QPoint(5 + 3 * j, y);
        };
        const QPoint from = markTop(20);
        const QPoint to = markTop(120);
        QVERIFY(to.y() < from.y() - 9);
        // A click is no drag.
        QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, {}, from);
        QCOMPARE(m_pDoc->m_Picture.nSlant, 0);
        QTest::mousePress(m_pView->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(m_pView->viewport(), to);
        QTest::mouseRelease(m_pView->viewport(), Qt::LeftButton, {}, to);
        QVERIFY2(std::abs(m_pDoc->m_Picture.nSlant - 4000) < 200, qPrintable(QString::number(m_pDoc->m_Picture.nSlant)));
        const std::vector<int> rows = MarkRows(3);
        QVERIFY(std::all_of(rows.begin(), rows.end(), [](int r) { return r >= 8 && r <= 13; }));
        // The line drawn while dragging is gone.
        QString strWhere;
        QVERIFY2(MatchesModel(CPictureModel(DriftingStation(28 * 1.004, 3 * 245), false, m_pDoc->m_Picture), strWhere),
                 qPrintable(strWhere));
    }

    // Column paints and scrolling leave on screen what a full repaint draws, at every zoom and
    // with the slant corrected, and the end of the picture is followed.
    void livePaintingAndFollowingTheEndWithTheControls()
    {
        Show(780, 300);
        for (const SPictureSettings& settings :
             {SPictureSettings{0, 0, 150, -2000}, SPictureSettings{30, 30, 200, 3000}, SPictureSettings{0, 0, 300, 0}})
        {
            m_pDoc->DeleteContents();
            m_pDoc->SetPicture(settings);
            Receive(3 * kPageBytes + 2000);
            QCOMPARE(Scroll(), m_pView->GetTotalSize().height() - m_pView->viewport()->height());
            m_pView->verticalScrollBar()->setValue(Scroll() - 37);
            Receive(1500);
            const QImage onScreen = m_pView->screen()->grabWindow(m_pView->winId()).toImage();
            QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                     m_pView->grab().toImage().convertToFormat(QImage::Format_RGB32));
        }
    }

    void zoomKeepsTheTopLeftOrTheEndInView()
    {
        Show(500, 300);
        LoadPages(20);
        m_pView->verticalScrollBar()->setValue(300);
        m_pView->horizontalScrollBar()->setValue(60);
        m_pDoc->SetPicture({0, 0, 200, 0});
        QCOMPARE(m_pView->GetTotalSize(), QSize(1492, 2 * (60 * 21 + 4)));
        QCOMPARE(Scroll(), 600);
        QCOMPARE(m_pView->horizontalScrollBar()->value(), 120);
        QCOMPARE(m_pView->horizontalScrollBar()->singleStep(), 42);
        QCOMPARE(m_pView->verticalScrollBar()->pageStep(), m_pView->viewport()->height() / 120 * 120);
        m_pView->ScrollToEnd();
        m_pDoc->SetPicture({0, 0, 150, 0});
        QCOMPARE(Scroll(), m_pView->GetTotalSize().height() - m_pView->viewport()->height());
    }

    void savedPictureIsTheSamplesWhateverTheControls()
    {
        Show(800, 300);
        Receive(2 * kPageBytes + 500);
        QTemporaryDir dir;
        const std::string strPlain = dir.filePath("plain.hel").toStdString();
        const std::string strControlled = dir.filePath("controlled.hel").toStdString();
        QVERIFY(m_pDoc->OnSaveDocument(strPlain));
        m_pDoc->OnBlackOnWhite();
        m_pDoc->SetPicture({40, -30, 200, 1500});
        QVERIFY(m_pView->grab().toImage().width() > 0); // painted with them
        QVERIFY(m_pDoc->OnSaveDocument(strControlled));
        QFile plain(QString::fromStdString(strPlain));
        QFile controlled(QString::fromStdString(strControlled));
        QVERIFY(plain.open(QIODevice::ReadOnly) && controlled.open(QIODevice::ReadOnly));
        const QByteArray bytes = plain.readAll();
        QCOMPARE(bytes.size(), 2 * kPageBytes + 500);
        QCOMPARE(controlled.readAll(), bytes);
    }

    void exportedPngIsThePaintedPicture()
    {
        // A window that shows all of a picture of 3 bands at 1.5 times.
        Show(1200, 320);
        std::vector<std::uint8_t> bytes(2 * kPageBytes + 3000);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 13 + i / kColumnBytes * 5);
        Load(bytes);
        m_pDoc->SetPicture({15, 35, 150, -1200});
        QTemporaryDir dir;
        const QString strWhole = dir.filePath("whole.png");
        QCOMPARE(m_pView->ExportPicture(strWhole.toStdString(), false), 0);
        const QSize size = m_pView->GetTotalSize();
        QCOMPARE(size, QSize(1119, 276));
        QImage png(strWhole);
        QCOMPARE(png.format(), QImage::Format_Grayscale8); // the background is grey
        QCOMPARE(png.convertToFormat(QImage::Format_RGB32), Grab().copy(QRect(QPoint(0, 0), size)));

        // In colour on a coloured background; only the part in view.
        QPalette palette = m_pView->viewport()->palette();
        palette.setColor(QPalette::Base, QColor(250, 240, 200));
        m_pView->viewport()->setPalette(palette);
        m_pView->resize(400, 150);
        m_pView->horizontalScrollBar()->setValue(123);
        m_pView->verticalScrollBar()->setValue(45);
        const QString strInView = dir.filePath("in view.png");
        QCOMPARE(m_pView->ExportPicture(strInView.toStdString(), true), 0);
        QCOMPARE(QImage(strInView).convertToFormat(QImage::Format_RGB32), Grab());

        // Taller than a strip, zoomed: a tall window shows it whole.
        m_pDoc->SetPicture({-20, 10, 300, 0});
        Load(std::vector<std::uint8_t>(3 * kPageBytes, 90));
        m_pView->resize(2300, 1200);
        QCOMPARE(Scroll(), 0);
        QCOMPARE(m_pView->ExportPicture(strWhole.toStdString(), false), 0);
        QCOMPARE(QImage(strWhole).convertToFormat(QImage::Format_RGB32),
                 Grab().copy(QRect(QPoint(0, 0), m_pView->GetTotalSize())));

        QCOMPARE(m_pView->ExportPicture(dir.filePath("missing/x.png").toStdString(), false), ENOENT);
    }
};

QTEST_MAIN(CRxViewTest)
#include "RxViewTest.moc"
