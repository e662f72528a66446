// The waterfall above the receive picture: shown for the sound card only, its tone marked, a
// click sets the tone (and the transmit tone unless split), AFC and Split switched beside it. The
// document's tuning is read back from the sound-card port's own.
#include "FrameFixture.h"
#include "PulseServer.h"
#include "TestSoundCard.h"
#include "link/SpectrumLine.h"
#include "ui/CommandIds.h"
#include "ui/StatusPanes.h"
#include "ui/WaterfallView.h"

#include <QAction>
#include <QLabel>

#include <QCheckBox>
#include <QTest>

namespace
{
// A line of the band as the sound-card port makes it: noise at 20, one signal at dSignalHz.
CSpectrumLine LineWithSignalAt(double dSignalHz)
{
    CSpectrumLine line;
    line.m_dFirstHz = 203.125;
    line.m_dBinHz = 7.8125;
    line.m_Levels.assign(359, 20);
    line.m_Levels[static_cast<std::size_t>(std::lround((dSignalHz - line.m_dFirstHz) / line.m_dBinHz))] = 250;
    line.m_dListeningHz = dSignalHz;
    return line;
}
} // namespace

class CWaterfallTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_Server.Start(), m_Server.GetLog().c_str());
        QVERIFY(m_Server.LoadNullSink("waterfall", "Waterfall Test Sink") >= 0);
    }

    void IsShownForTheSoundCardOnly()
    {
        CFrameFixture f("DUMMY");
        CWaterfallView* pWaterfall = f.Frame().GetWaterfall();
        QVERIFY(!pWaterfall->isVisible());
        OpenSoundCard(f);
        QVERIFY(pWaterfall->isVisible());
        f.Doc().OnDummyPort();
        f.Frame().UpdateCommandUI();
        QVERIFY(!pWaterfall->isVisible());
    }

    void MarksTheToneAndShowsTheSpectrumBelowIt()
    {
        CFrameFixture f;
        f.m_Profile.Set("Audio", "Tone", "1500");
        OpenSoundCard(f);
        CWaterfallView* pWaterfall = f.Frame().GetWaterfall();
        for (int i = 0; i < CWaterfallView::kLines; ++i)
            pWaterfall->AddSpectrumLine(LineWithSignalAt(1200.0));
        const QImage image = pWaterfall->grab().toImage();
        const int y = CWaterfallView::kRulerHeight + CWaterfallView::kLines / 2;
        // The tone's red line runs down through the spectrum; the signal is bright where it lies,
        // the noise dark beside it.
        QCOMPARE(image.pixelColor(pWaterfall->XOfHz(1500.0), y), QColor(220, 40, 40));
        QVERIFY(image.pixelColor(pWaterfall->XOfHz(1200.0), y).lightness() > 180);
        QVERIFY(image.pixelColor(pWaterfall->XOfHz(1000.0), y).lightness() < 60);
    }

    void AClickSetsBothTonesUnlessSplit()
    {
        CFrameFixture f;
        OpenSoundCard(f);
        CWaterfallView* pWaterfall = f.Frame().GetWaterfall();
        QTest::mouseClick(pWaterfall, Qt::LeftButton, {}, QPoint(pWaterfall->XOfHz(1234.0), 40));
        QVERIFY(std::abs(f.Doc().GetToneHz() - 1234) <= 5);
        QCOMPARE(f.Doc().GetTxToneHz(), f.Doc().GetToneHz());
        QCOMPARE(f.m_Profile.GetProfileString("Audio", "Tone", ""), std::to_string(f.Doc().GetToneHz()));
        const int nTxHz = f.Doc().GetTxToneHz();

        // Split: the transmit tone stays, and is marked apart.
        QCheckBox* pSplit = pWaterfall->findChild<QCheckBox*>(QStringLiteral("m_pSplit"));
        QTest::mouseClick(pSplit, Qt::LeftButton);
        QVERIFY(f.Doc().IsSplit());
        QTest::mouseClick(pWaterfall, Qt::LeftButton, {}, QPoint(pWaterfall->XOfHz(2000.0), 40));
        QVERIFY(std::abs(f.Doc().GetToneHz() - 2000) <= 5);
        QCOMPARE(f.Doc().GetTxToneHz(), nTxHz);
        const QImage image = pWaterfall->grab().toImage();
        QCOMPARE(image.pixelColor(pWaterfall->XOfHz(nTxHz), 2), QColor(60, 140, 255));

        // Split off: the transmit tone joins the tone listened to.
        QTest::mouseClick(pSplit, Qt::LeftButton);
        QVERIFY(!f.Doc().IsSplit());
        QCOMPARE(f.Doc().GetTxToneHz(), f.Doc().GetToneHz());
    }

    void SwitchesAfcAndKeepsItInTheProfile()
    {
        CFrameFixture f;
        OpenSoundCard(f);
        QCheckBox* pAfc = f.Frame().GetWaterfall()->findChild<QCheckBox*>(QStringLiteral("m_pAfc"));
        QVERIFY(pAfc->isChecked() && f.Doc().IsAfcOn());
        QTest::mouseClick(pAfc, Qt::LeftButton);
        QVERIFY(!f.Doc().IsAfcOn());
        QCOMPARE(f.m_Profile.GetProfileString("Audio", "AFC", ""), std::string("0"));
    }

    // The Operate menu's modes: greyed at Feld-Hell for DUMMY; for the sound card a choice that the
    // profile keeps and the status bar shows.
    void TheModeIsChosenForTheSoundCardOnly()
    {
        CFrameFixture f("DUMMY");
        f.m_Profile.Set("Comm", "Mode", "HELLX9");
        f.Frame().UpdateCommandUI();
        QAction* pFeldHell = f.Frame().GetAction(ID_OPERATE_MODE_FIRST);
        QAction* pX9 = f.Frame().GetAction(ID_OPERATE_MODE_FIRST + 3);
        QVERIFY(!pX9->isEnabled() && !pFeldHell->isEnabled());
        QVERIFY(pFeldHell->isChecked() && !pX9->isChecked());
        QCOMPARE(f.Frame().GetStatusPanes().GetModeLabel()->text(), QString("Feld-Hell"));

        OpenSoundCard(f);
        QVERIFY(pX9->isEnabled() && pX9->isChecked() && !pFeldHell->isChecked());
        QCOMPARE(f.Frame().GetStatusPanes().GetModeLabel()->text(), QString("Hell X9"));
        f.Frame().GetAction(ID_OPERATE_MODE_FIRST + 4)->trigger();
        QCOMPARE(f.m_Profile.GetProfileString("Comm", "Mode", ""), std::string("FSKHELL245"));
        QCOMPARE(f.Frame().GetStatusPanes().GetModeLabel()->text(), QString("FSK Hell 245"));
        QVERIFY(!pX9->isChecked());
    }

private:
    // The sound card of the test's own server, made from the profile's tuning as the program does.
    static void OpenSoundCard(CFrameFixture& f)
    {
        TestSoundCard::Install(f.Doc(), "waterfall");
        f.Doc().OnSoundCardPort();
        f.Frame().UpdateCommandUI();
    }

    CPulseServer m_Server;
};

QTEST_MAIN(CWaterfallTest)
#include "WaterfallTest.moc"
