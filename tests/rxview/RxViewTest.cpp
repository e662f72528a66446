// The receive view on the offscreen platform: pixels of the grabbed viewport at the picture's
// coordinates, scrolling, keys, dropped files and printing to PDF.

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
};

QTEST_MAIN(CRxViewTest)
#include "RxViewTest.moc"
