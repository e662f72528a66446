// The picture's commands and controls in the window: the View menu's steps and marks, their keys
// from either pane, the picture bar both ways, and File, Export Picture... through its dialog.

#include "FrameFixture.h"
#include "ModalDialogs.h"
#include "ui/CommandIds.h"
#include "ui/PictureBar.h"
#include "ui/SkrivelRxView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>

namespace
{
// Answers the next file dialog with a name in a folder, the part in view chosen or not; before
// it is accepted, fnBeforeAccept runs.
void AnswerExportDialog(const QString& strFolder, const QString& strName, bool bInViewOnly,
                        std::function<void()> fnBeforeAccept = {})
{
    WhenModal<QFileDialog>(
        [=](QFileDialog& dialog)
        {
            QCOMPARE(dialog.nameFilters(), QStringList{"PNG Images (*.png)"});
            dialog.setDirectory(strFolder);
            dialog.findChild<QLineEdit*>("fileNameEdit")->setText(strName);
            dialog.findChild<QCheckBox*>("inViewOnly")->setChecked(bInViewOnly);
            if (fnBeforeAccept)
                fnBeforeAccept();
            static_cast<QDialog&>(dialog).accept(); // as the Save button does
        });
}
} // namespace

class CPictureCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void StepsStopAtTheirEndsAndMarksFollow()
    {
        CFrameFixture f;
        for (int i = 0; i < 10; ++i)
            f.Choose(ID_VIEW_BRIGHTER);
        QCOMPARE(f.Doc().m_Picture.nBrightness, 100);
        QVERIFY(!f.IsEnabled(ID_VIEW_BRIGHTER) && f.IsEnabled(ID_VIEW_DARKER));
        f.Choose(ID_VIEW_LESS_CONTRAST);
        f.Choose(ID_VIEW_LESS_CONTRAST);
        QCOMPARE(f.Doc().m_Picture.nContrast, -20);
        f.Choose(ID_VIEW_NORMAL_PICTURE);
        QCOMPARE(f.Doc().m_Picture, SPictureSettings{});
        QVERIFY(!f.IsEnabled(ID_VIEW_NORMAL_PICTURE));

        QVERIFY(f.IsMarked(ID_VIEW_ZOOM_100) && !f.IsMarked(ID_VIEW_ZOOM_150));
        QVERIFY(!f.IsEnabled(ID_VIEW_ZOOM_OUT));
        for (const int nZoom : {150, 200, 300})
        {
            f.Choose(ID_VIEW_ZOOM_IN);
            QCOMPARE(f.Doc().m_Picture.nZoom, nZoom);
        }
        QVERIFY(!f.IsEnabled(ID_VIEW_ZOOM_IN) && f.IsMarked(ID_VIEW_ZOOM_300));
        f.Choose(ID_VIEW_ZOOM_150);
        QVERIFY(f.IsMarked(ID_VIEW_ZOOM_150) && !f.IsMarked(ID_VIEW_ZOOM_300));
        QCOMPARE(f.Frame().GetRxView()->GetTotalSize().width(), 1119);

        QVERIFY(!f.IsEnabled(ID_VIEW_SLANT_NONE));
        f.Choose(ID_VIEW_SLANT_UP);
        QCOMPARE(f.Doc().m_Picture.nSlant, -10);
        f.Choose(ID_VIEW_SLANT_NONE);
        QCOMPARE(f.Doc().m_Picture.nSlant, 0);
    }

    void KeysWorkFromEitherPaneAndTypeNothing()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        QTest::keyClicks(&f.TxView(), "CQ");
        f.Key(Qt::Key_Plus, Qt::ControlModifier);
        f.Key(Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(f.Doc().m_Picture.nZoom, 200);
        f.Key(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(f.Doc().m_Picture.nZoom, 150);
        f.Key(Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(f.Doc().m_Picture.nSlant, -10);

        f.Key(Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), f.Frame().GetRxView());
        f.Key(Qt::Key_Down, Qt::AltModifier);
        f.Key(Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(f.Doc().m_Picture.nSlant, 10);
        f.Key(Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(f.Doc().m_Picture.nZoom, 100);
        QCOMPARE(f.TxView().toPlainText(), QString("CQ"));
    }

    void PictureBarSetsTheSettingsAndShowsThemAsChanged()
    {
        CFrameFixture f;
        CPictureBar& bar = *f.Frame().GetPictureBar();
        QVERIFY(bar.isVisible());
        auto* pBrightness = bar.findChild<QSlider*>("brightness");
        auto* pContrast = bar.findChild<QSlider*>("contrast");
        auto* pZoom = bar.findChild<QComboBox*>("zoom");
        auto* pSlant = bar.findChild<QSpinBox*>("slant");
        QVERIFY(pBrightness && pContrast && pZoom && pSlant);
        QCOMPARE(pZoom->currentText(), QString("100%"));
        QCOMPARE(pSlant->text(), QString("0 ppm"));

        pBrightness->setValue(30);
        pContrast->triggerAction(QAbstractSlider::SliderPageStepAdd);
        pZoom->setCurrentIndex(2);
        pSlant->stepDown();
        QCOMPARE(f.Doc().m_Picture, (SPictureSettings{30, 10, 200, -10}));
        QCOMPARE(f.Frame().GetRxView()->GetTotalSize().width(), 1492);

        f.Choose(ID_VIEW_NORMAL_PICTURE);
        f.Choose(ID_VIEW_ZOOM_OUT);
        QCOMPARE(pBrightness->value(), 0);
        QCOMPARE(pContrast->value(), 0);
        QCOMPARE(pZoom->currentText(), QString("150%"));

        // A drag along a slanted edge shows at once.
        CSkrivelRxView& view = *f.Frame().GetRxView();
        for (int i = 0; i < 245 * 28; ++i)
            f.Doc().StoreRxPixel(0, true);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(20, 80));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(320, 60));
        QVERIFY(f.Doc().m_Picture.nSlant > 0);
        QCOMPARE(pSlant->value(), f.Doc().m_Picture.nSlant);
    }

    void ExportPictureWritesTheWholePictureOrThePartInView()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        for (int i = 0; i < 20 * 245 * 28; ++i)
            f.Doc().StoreRxPixel(static_cast<std::uint8_t>(i), true);
        QTemporaryDir dir;
        const CSkrivelRxView& view = *f.Frame().GetRxView();

        // A name without extension gets ".png".
        AnswerExportDialog(dir.path(), "picture", false);
        f.Choose(ID_FILE_EXPORT_PICTURE);
        QCOMPARE(QImage(dir.filePath("picture.png")).size(), view.GetTotalSize());

        AnswerExportDialog(dir.path(), "in view.png", true);
        f.Choose(ID_FILE_EXPORT_PICTURE);
        const QSize inView = view.viewport()->size().boundedTo(view.GetTotalSize());
        QCOMPARE(QImage(dir.filePath("in view.png")).size(), inView);
        QVERIFY(f.m_Host.m_Messages.empty());

        // The folder gone by the time it is written: the standard text.
        const QString strGone = dir.filePath("gone");
        QVERIFY(QDir().mkdir(strGone));
        AnswerExportDialog(strGone, "x.png", false, [strGone] { QDir(strGone).removeRecursively(); });
        f.Choose(ID_FILE_EXPORT_PICTURE);
        QCOMPARE(f.m_Host.m_Messages.size(), std::size_t(1));
        QVERIFY(f.m_Host.m_Messages[0].find("Cannot find this file.") != std::string::npos);
    }
};

QTEST_MAIN(CPictureCommandsTest)
#include "PictureCommandsTest.moc"
