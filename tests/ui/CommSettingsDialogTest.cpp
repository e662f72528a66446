// The sound-card settings dialog on a sound server of the test's own: the devices by the names the
// desktop shows, what OK stores, what Cancel leaves.

#include "MemoryProfile.h"
#include "PulseServer.h"

#include "ui/SoundCardDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

class CSoundCardDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_Server.Start(), m_Server.GetLog().c_str());
        QVERIFY(m_Server.LoadNullSink("rig", "USB Audio CODEC") >= 0);
    }

    void OkStoresTheChosenDevicesAndToneCancelNothing()
    {
        CMemoryProfile profile;
        profile.Set("Audio", "OutputDevice", "unplugged-card");
        CSoundCardDialog dialog(profile, nullptr);
        // A stored device that is not there stays chosen; the server's devices by description.
        QCOMPARE(dialog.GetOutputBox()->currentText(), QString("unplugged-card (not present)"));
        QCOMPARE(dialog.GetInputBox()->currentText(), QString("Default"));
        QCOMPARE(dialog.GetToneBox()->value(), 1000);
        const int nRig = dialog.GetOutputBox()->findText("USB Audio CODEC");
        QVERIFY(nRig > 0);

        // Cancel changes nothing.
        dialog.GetOutputBox()->setCurrentIndex(nRig);
        dialog.GetToneBox()->setValue(1500);
        Press(dialog, QDialogButtonBox::Cancel);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(profile.GetProfileString("Audio", "OutputDevice", "?"), std::string("unplugged-card"));
        QCOMPARE(profile.GetProfileInt("Audio", "Tone", -1), -1);

        // OK stores the server's names and the tone.
        CSoundCardDialog again(profile, nullptr);
        again.GetOutputBox()->setCurrentIndex(again.GetOutputBox()->findText("USB Audio CODEC"));
        again.GetToneBox()->setValue(1200);
        Press(again, QDialogButtonBox::Ok);
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QCOMPARE(profile.GetProfileString("Audio", "OutputDevice", "?"), std::string("rig"));
        QCOMPARE(profile.GetProfileString("Audio", "InputDevice", "?"), std::string());
        QCOMPARE(profile.GetProfileInt("Audio", "Tone", -1), 1200);
    }

private:
    static void Press(QDialog& dialog, QDialogButtonBox::StandardButton button)
    {
        dialog.findChild<QDialogButtonBox*>()->button(button)->click();
    }

    CPulseServer m_Server;
};

QTEST_MAIN(CSoundCardDialogTest)
#include "SoundCardDialogTest.moc"
