// The Comm settings dialog, offscreen, with a sound server and a rig server of the test's own: the
// devices by the names the desktop shows, every field stored and shown again, Cancel changing
// nothing, a port path typed in opened at once, "Test PTT" keying the rig for a second, and the
// Hell mode chosen for the sound card as the Operate menu chooses it.

#include "FrameFixture.h"
#include "HeadlessDoc.h"
#include "PulseServer.h"
#include "RigServer.h"
#include "TestSoundCard.h"

#include "rig/Rig.h"
#include "ui/CommSettingsDialog.h"
#include "ui/CommandIds.h"
#include "ui/RigPage.h"
#include "ui/SoundCardPage.h"
#include "ui/StatusPanes.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <pty.h>
#include <unistd.h>

class CCommSettingsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_Server.Start(), m_Server.GetLog().c_str());
        QVERIFY(m_Server.LoadNullSink("rig", "USB Audio CODEC") >= 0);
    }

    void SoundDevicesByTheirDescriptions()
    {
        CHeadlessDoc d;
        CRig rig;
        d.profile.Set("Audio", "OutputDevice", "unplugged-card");
        CCommSettingsDialog dialog(d.doc, d.profile, rig, nullptr);
        const CSoundCardPage& page = dialog.GetSoundCardPage();
        // A stored device that is not there stays chosen; the server's devices by description.
        QCOMPARE(page.GetOutputBox()->currentText(), QString("unplugged-card (not present)"));
        QCOMPARE(page.GetInputBox()->currentText(), QString("Default"));
        QCOMPARE(page.GetToneBox()->value(), 1000);
        page.GetOutputBox()->setCurrentIndex(page.GetOutputBox()->findText("USB Audio CODEC"));
        page.GetToneBox()->setValue(1200);
        Press(dialog, QDialogButtonBox::Ok);
        QCOMPARE(d.profile.GetProfileString("Audio", "OutputDevice", "?"), std::string("rig"));
        QCOMPARE(d.profile.GetProfileString("Audio", "InputDevice", "?"), std::string());
        QCOMPARE(d.profile.GetProfileInt("Audio", "Tone", -1), 1200);
    }

    void EveryRigFieldIsStoredAndShownAgain()
    {
        CHeadlessDoc d;
        CRig rig;
        {
            CCommSettingsDialog dialog(d.doc, d.profile, rig, nullptr);
            CRigPage& page = dialog.GetRigPage();
            // Only what the method needs can be filled in.
            QVERIFY(!page.GetModelList()->isEnabled());
            QVERIFY(!page.GetTestButton()->isEnabled());
            Choose(page.GetMethodBox(), "CAT");
            QVERIFY(page.GetModelList()->isEnabled());
            QVERIFY(!page.GetAddressEdit()->isEnabled());
            // The model found by part of its name.
            QTest::keyClicks(page.GetModelFilter(), "ft-991");
            const QList<QListWidgetItem*> shown = VisibleItems(page.GetModelList());
            QVERIFY(!shown.isEmpty());
            for (const QListWidgetItem* pItem : shown)
                QVERIFY2(pItem->text().contains("FT-991"), qPrintable(pItem->text()));
            page.GetModelList()->setCurrentItem(shown.front());
            page.GetDeviceBox()->setEditText("/dev/ttyUSB7");
            page.GetSpeedBox()->setCurrentIndex(page.GetSpeedBox()->findText("38400"));
            page.GetLeadBox()->setValue(120);
            page.GetTailBox()->setValue(35);
            Press(dialog, QDialogButtonBox::Ok);
        }
        const int nModel = d.profile.GetProfileInt("Rig", "Model", -1);
        QCOMPARE(d.profile.GetProfileString("Rig", "PTT", "?"), std::string("CAT"));
        QVERIFY(nModel > 2);
        QCOMPARE(d.profile.GetProfileString("Rig", "Device", "?"), std::string("/dev/ttyUSB7"));
        QCOMPARE(d.profile.GetProfileInt("Rig", "Speed", -1), 38400);
        QCOMPARE(d.profile.GetProfileInt("Rig", "Lead", -1), 120);
        QCOMPARE(d.profile.GetProfileInt("Rig", "Tail", -1), 35);
        // OK gave the rig its settings at once.
        QCOMPARE(rig.GetSettings().m_nModel, nModel);
        QCOMPARE(rig.GetSettings().m_nLeadMs, 120);

        CCommSettingsDialog again(d.doc, d.profile, rig, nullptr);
        CRigPage& page = again.GetRigPage();
        QCOMPARE(page.GetMethodBox()->currentData().toString(), QString("CAT"));
        QCOMPARE(page.GetModelList()->currentItem()->data(Qt::UserRole).toInt(), nModel);
        QCOMPARE(page.GetDeviceBox()->currentText(), QString("/dev/ttyUSB7"));
        QCOMPARE(page.GetSpeedBox()->currentText(), QString("38400"));
        QCOMPARE(page.GetLeadBox()->value(), 120);
        QCOMPARE(page.GetTailBox()->value(), 35);
        // The network rig's address.
        Choose(page.GetMethodBox(), "NET");
        page.GetAddressEdit()->setText("shack-pi:4532");
        Press(again, QDialogButtonBox::Ok);
        QCOMPARE(d.profile.GetProfileString("Rig", "PTT", "?"), std::string("NET"));
        QCOMPARE(d.profile.GetProfileString("Rig", "Address", "?"), std::string("shack-pi:4532"));
    }

    void CancelChangesNothing()
    {
        CHeadlessDoc d;
        CRigServer server;
        QVERIFY(server.Start());
        CRig rig;
        const CRigSettings before = rig.GetSettings();
        d.profile.m_Writes.clear();
        CCommSettingsDialog dialog(d.doc, d.profile, rig, nullptr);
        dialog.GetPortBox()->setEditText("/dev/ttyUSB3");
        dialog.GetSoundCardPage().GetToneBox()->setValue(1500);
        CRigPage& page = dialog.GetRigPage();
        Choose(page.GetMethodBox(), "NET");
        page.GetAddressEdit()->setText(QString::fromStdString(server.GetAddress()));
        page.GetTailBox()->setValue(500);
        // The test sets the rig up as the page shows; Cancel puts it back.
        page.GetTestButton()->click();
        QCOMPARE(rig.GetSettings().m_nTailMs, 500);
        Press(dialog, QDialogButtonBox::Cancel);
        QVERIFY(d.profile.m_Writes.empty());
        QCOMPARE(d.doc.GetPortName(), std::string());
        QVERIFY(rig.GetSettings() == before);
    }

    void APortPathTypedInIsOpened()
    {
        int nMaster = -1;
        int nSlave = -1;
        char szName[64];
        QCOMPARE(::openpty(&nMaster, &nSlave, szName, nullptr, nullptr), 0);
        CHeadlessDoc d;
        CRig rig;
        CCommSettingsDialog dialog(d.doc, d.profile, rig, nullptr);
        // The kinds of port are there to choose, and a path can be typed.
        QVERIFY(dialog.GetPortBox()->findData("DUMMY") >= 0);
        QVERIFY(dialog.GetPortBox()->findData("SOUNDCARD") >= 0);
        dialog.GetPortBox()->setEditText(szName);
        Press(dialog, QDialogButtonBox::Ok);
        QCOMPARE(d.doc.GetPortName(), std::string(szName));
        QCOMPARE(d.doc.GetPortState(), EPortState::Open);
        QCOMPARE(d.profile.GetProfileString("Comm", "Port", "?"), std::string(szName));
        QVERIFY(d.host.m_Messages.size() <= 1); // only the fixture's missing font
        d.doc.OnDummyPort();
        ::close(nSlave);
        ::close(nMaster);
    }

    void TestPttKeysTheRigForASecond()
    {
        CHeadlessDoc d;
        CRigServer server;
        QVERIFY(server.Start());
        CRig rig;
        CCommSettingsDialog dialog(d.doc, d.profile, rig, nullptr);
        CRigPage& page = dialog.GetRigPage();
        Choose(page.GetMethodBox(), "NET");
        page.GetAddressEdit()->setText(QString::fromStdString(server.GetAddress()));
        page.GetTestButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(server.ReadPtt(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(page.GetTestResult()->text(), QString("Keyed for one second and released."),
                                  5000);
        QCOMPARE(server.ReadPtt(), 0);
    }

    // The mode box follows the port chosen in the dialog: the sound card's choice, or Feld-Hell
    // greyed for a board and DUMMY, the choice coming back with the sound card.
    void TheModeIsChosenForTheSoundCardOnly()
    {
        CHeadlessDoc d;
        CRig rig;
        d.profile.Set("Comm", "Port", "DUMMY");
        d.profile.Set("Comm", "Mode", "HELLX9");
        {
            CCommSettingsDialog dialog(d.doc, d.profile, rig, nullptr);
            QComboBox* pMode = dialog.GetModeBox();
            QCOMPARE(ItemTexts(pMode),
                     QStringList({"Feld-Hell", "Slow Hell", "Hell X5", "Hell X9", "FSK Hell 245"}));
            QVERIFY(!pMode->isEnabled());
            QCOMPARE(pMode->currentText(), QString("Feld-Hell"));
            Choose(dialog.GetPortBox(), "SOUNDCARD");
            QVERIFY(pMode->isEnabled());
            QCOMPARE(pMode->currentText(), QString("Hell X9"));
            pMode->setCurrentIndex(pMode->findText("Slow Hell"));
            dialog.GetPortBox()->setEditText("/dev/ttyUSB0");
            QVERIFY(!pMode->isEnabled());
            QCOMPARE(pMode->currentText(), QString("Feld-Hell"));
            dialog.GetPortBox()->setEditText("SOUNDCARD");
            QCOMPARE(pMode->currentText(), QString("Slow Hell"));
            Choose(dialog.GetPortBox(), "DUMMY");
            // OK for DUMMY keeps the sound card's mode as stored.
            Press(dialog, QDialogButtonBox::Ok);
        }
        QCOMPARE(d.profile.GetProfileString("Comm", "Mode", "?"), std::string("HELLX9"));
        QCOMPARE(d.doc.GetMode(), 0);
    }

    // The dialog and the Operate menu read and write the one [Comm] Mode=; OK changes the sound
    // card's mode, Cancel leaves it.
    void OkChangesTheModeAsTheMenuDoes()
    {
        CFrameFixture f("DUMMY");
        CRig rig;
        TestSoundCard::Install(f.Doc(), "rig");
        f.m_Profile.Set("Comm", "Mode", "HELLX9");
        {
            // Choosing the sound card opens it in the mode chosen with it.
            CCommSettingsDialog dialog(f.Doc(), f.m_Profile, rig, &f.Frame());
            Choose(dialog.GetPortBox(), "SOUNDCARD");
            dialog.GetModeBox()->setCurrentIndex(dialog.GetModeBox()->findText("Hell X5"));
            Press(dialog, QDialogButtonBox::Ok);
        }
        QCOMPARE(f.Doc().GetPortName(), std::string("SOUNDCARD"));
        QCOMPARE(f.m_Profile.GetProfileString("Comm", "Mode", "?"), std::string("HELLX5"));
        QCOMPARE(f.Doc().GetMode(), 2);
        QVERIFY(f.IsEnabled(ID_OPERATE_MODE_FIRST + 2) && f.IsMarked(ID_OPERATE_MODE_FIRST + 2));
        QCOMPARE(f.Frame().GetStatusPanes().GetModeLabel()->text(), QString("Hell X5"));

        // The menu's choice is the dialog's; Cancel leaves it.
        f.Choose(ID_OPERATE_MODE_FIRST + 1);
        {
            CCommSettingsDialog dialog(f.Doc(), f.m_Profile, rig, &f.Frame());
            QCOMPARE(dialog.GetModeBox()->currentText(), QString("Slow Hell"));
            dialog.GetModeBox()->setCurrentIndex(dialog.GetModeBox()->findText("FSK Hell 245"));
            Press(dialog, QDialogButtonBox::Cancel);
        }
        QCOMPARE(f.m_Profile.GetProfileString("Comm", "Mode", "?"), std::string("SLOWHELL"));
        QVERIFY(f.IsMarked(ID_OPERATE_MODE_FIRST + 1));

        // OK with the sound card kept: the port in use takes the mode up.
        {
            CCommSettingsDialog dialog(f.Doc(), f.m_Profile, rig, &f.Frame());
            dialog.GetModeBox()->setCurrentIndex(dialog.GetModeBox()->findText("FSK Hell 245"));
            Press(dialog, QDialogButtonBox::Ok);
        }
        QCOMPARE(f.m_Profile.GetProfileString("Comm", "Mode", "?"), std::string("FSKHELL245"));
        QVERIFY(f.IsMarked(ID_OPERATE_MODE_FIRST + 4) && !f.IsMarked(ID_OPERATE_MODE_FIRST + 1));
        QCOMPARE(f.Frame().GetStatusPanes().GetModeLabel()->text(), QString("FSK Hell 245"));
        f.Doc().OnDummyPort();
    }

private:
    static QStringList ItemTexts(const QComboBox* pBox)
    {
        QStringList texts;
        for (int i = 0; i < pBox->count(); ++i)
            texts << pBox->itemText(i);
        return texts;
    }
    static void Press(QDialog& dialog, QDialogButtonBox::StandardButton button)
    {
        dialog.findChild<QDialogButtonBox*>()->button(button)->click();
    }
    static void Choose(QComboBox* pBox, const QString& strValue)
    {
        pBox->setCurrentIndex(pBox->findData(strValue));
    }
    static QList<QListWidgetItem*> VisibleItems(QListWidget* pList)
    {
        QList<QListWidgetItem*> items;
        for (int i = 0; i < pList->count(); ++i)
            if (!pList->item(i)->isHidden())
                items.append(pList->item(i));
        return items;
    }

    CPulseServer m_Server;
};

QTEST_MAIN(CCommSettingsDialogTest)
#include "CommSettingsDialogTest.moc"
