// The program as a whole: start-up and shutdown in order, the profile across runs, File New, a
// file named on the command line, the About box, and a transmission echoed by the DUMMY port.

#include "../ui/ModalDialogs.h"
#include "app/AboutDlg.h"
#include "app/IniProfile.h"
#include "app/ShellCommand.h"
#include "app/SkrivelApp.h"
#include "doc/SkrivelDoc.h"
#include "engine/FeldHellEncoder.h"
#include "link/ItemQueue.h"
#include "ui/CommandIds.h"
#include "ui/MainFrame.h"
#include "ui/SkrivelTxView.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// The application with its message boxes recorded instead of shown.
class CTestApp : public CSkrivelApp
{
public:
    using CSkrivelApp::CSkrivelApp;
    void ShowMessage(const std::string& strText, const std::string& strDetail = {}) override
    {
        m_Messages.push_back(strText + (strDetail.empty() ? "" : " / " + strDetail));
    }
    void Choose(int nID)
    {
        GetMainFrame()->UpdateCommandUI();
        GetMainFrame()->GetAction(nID)->trigger();
    }
    std::vector<std::string> m_Messages;
};

QString ReadText(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

// Where the link's descriptors point in this process.
QStringList OpenFiles()
{
    QStringList targets;
    for (const QString& strFd :
         QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System))
        targets << QFile::symLinkTarget(QStringLiteral("/proc/self/fd/") + strFd);
    return targets;
}
} // namespace

class CAppTest : public QObject
{
    Q_OBJECT

private slots:
    // Every case has a folder, and so a profile, of its own.
    void init()
    {
        m_pDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_pDir->isValid());
    }

    void StartupCommandEndsBeforeThePortOpensAndShutdownStartsAfterItCloses()
    {
        int nMaster = -1;
        int nSlave = -1;
        char szSlave[128] = {};
        QVERIFY(::openpty(&nMaster, &nSlave, szSlave, nullptr, nullptr) == 0);
        ::close(nSlave);

        // The port exists only once the (slow) start-up command has made it.
        CIniProfile profile(PathOf("skrivel.ini").toStdString());
        const QString strPort = PathOf("port");
        // Both are waited for, and their exit status is ignored: nothing is shown.
        profile.WriteProfileString(
            "Startup", "Command",
            QStringLiteral("sleep 0.3; ln -s %1 %2; exit 1").arg(szSlave, strPort).toStdString());
        profile.WriteProfileString(
            "Shutdown", "Command",
            QStringLiteral("ls -l /proc/$PPID/fd > %1; exit 2").arg(PathOf("fds")).toStdString());
        profile.WriteProfileString("Comm", "Port", strPort.toStdString());
        {
            CTestApp app(profile);
            QVERIFY(app.InitInstance({}));
            QCOMPARE(app.GetDocument()->GetPortName(), strPort.toStdString());
            QVERIFY(OpenFiles().contains(QString::fromLatin1(szSlave)));
            QCOMPARE(app.ExitInstance(), 0);
            QVERIFY(app.m_Messages.empty());
        }
        const QString strFds = ReadText(PathOf("fds"));
        QVERIFY(strFds.contains(QStringLiteral("/dev/ptmx"))); // the test's own end, still open
        QVERIFY(!strFds.contains(QString::fromLatin1(szSlave)));
        ::close(nMaster);

        // A command that cannot be found is the command's failure; a shell that cannot start is not.
        QVERIFY(ShellCommand::Run("no-such-command-here 2>/dev/null"));
        QVERIFY(!ShellCommand::Run("true", PathOf("no-shell").toStdString()));
    }

    void MessagesSurviveARestart()
    {
        // The profile in the user's configuration folder, here the test's own.
        QFile::remove(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("skrivel/skrivel.ini"));
        {
            CIniProfile profile;
            CTestApp app(profile);
            QVERIFY(app.InitInstance({}));
            app.GetDocument()->m_strXmitMessages[0] = "CQ CQ\r\nDE TEST, K";
            app.GetDocument()->m_strXmitMessages[8] = "73";
            app.Choose(ID_COMM_DUMMY);
            app.Choose(ID_APP_EXIT);
            QVERIFY(!app.GetMainFrame()->isVisible());
            QCOMPARE(app.ExitInstance(), 0);
            QVERIFY(app.m_Messages.empty());
        }
        CIniProfile profile;
        CTestApp app(profile);
        QVERIFY(app.InitInstance({}));
        QCOMPARE(app.GetDocument()->m_strXmitMessages[0], std::string("CQ CQ\r\nDE TEST, K"));
        QCOMPARE(app.GetDocument()->m_strXmitMessages[8], std::string("73"));
        QCOMPARE(app.GetDocument()->GetPortName(), std::string("DUMMY"));
        app.ExitInstance();
    }

    void WindowLayoutComesBackAfterARestart()
    {
        const std::string strIni = PathOf("skrivel.ini").toStdString();
        QRect geometry;
        QList<int> sizes;
        {
            CIniProfile profile(strIni);
            CTestApp app(profile);
            QVERIFY(app.InitInstance({}));
            CMainFrame& frame = *app.GetMainFrame();
            QCOMPARE(frame.size(), QSize(800, 540)); // the first-run layout
            frame.setGeometry(130, 90, 900, 640);
            frame.addToolBar(Qt::LeftToolBarArea, frame.GetToolBar());
            frame.GetSplitter()->setSizes({240, 300});
            QTRY_COMPARE(frame.geometry(), QRect(130, 90, 900, 640));
            geometry = frame.geometry();
            sizes = frame.GetSplitter()->sizes();
            QCOMPARE(sizes.at(0), 240);
            app.Choose(ID_APP_EXIT);
            QCOMPARE(app.ExitInstance(), 0);
        }
        CIniProfile profile(strIni);
        CTestApp app(profile);
        QVERIFY(app.InitInstance({}));
        CMainFrame& frame = *app.GetMainFrame();
        QTRY_COMPARE(frame.geometry(), geometry);
        QCOMPARE(frame.GetSplitter()->sizes(), sizes);
        QCOMPARE(frame.toolBarArea(frame.GetToolBar()), Qt::LeftToolBarArea);
        app.ExitInstance();

        // A layout that cannot be read leaves the first-run one; the window still comes up.
        CIniProfile garbled(strIni);
        for (const char* pszKey : {"Geometry", "State", "Split"})
            garbled.WriteProfileString("Window", pszKey, "not a layout");
        CTestApp again(garbled);
        QVERIFY(again.InitInstance({}));
        QCOMPARE(again.GetMainFrame()->size(), QSize(800, 540));
        QCOMPARE(again.GetMainFrame()->GetSplitter()->sizes().at(0), 60);
        QCOMPARE(again.GetMainFrame()->toolBarArea(again.GetMainFrame()->GetToolBar()), Qt::TopToolBarArea);
        again.ExitInstance();
    }

    void FileNewReadsTheProfileAgainAndKeepsTheText()
    {
        CIniProfile profile(PathOf("skrivel.ini").toStdString());
        profile.WriteProfileString("XmitMessages", "Message2", "STORED");
        CTestApp app(profile);
        QVERIFY(app.InitInstance({}));
        CSkrivelDoc& doc = *app.GetDocument();
        app.GetMainFrame()->GetTxView()->setPlainText("STAYS");
        app.Choose(ID_OPERATE_UPPER_CASE);
        app.Choose(ID_OPERATE_TRANSMIT);
        doc.m_strXmitMessages[2] = "EDITED";
        doc.StoreRxPixel(3, true);
        QVERIFY(!doc.m_bUpperCase);

        app.Choose(ID_FILE_NEW);
        QVERIFY(doc.m_bUpperCase);
        QVERIFY(!doc.m_bTransmitting);
        QCOMPARE(doc.m_strXmitMessages[2], std::string("STORED"));
        QCOMPARE(doc.m_RxStore.GetByteCount(), std::size_t(0));
        QCOMPARE(app.GetMainFrame()->GetTxView()->toPlainText(), QString("STAYS"));
        QCOMPARE(app.GetMainFrame()->windowTitle(), QString("Untitled - Skrivel"));
        app.ExitInstance();
    }

    void FileNewTakesTheProfileAsEditedWhileTheProgramRuns()
    {
        const QString strIni = PathOf("skrivel.ini");
        {
            CIniProfile profile(strIni.toStdString());
            profile.WriteProfileString("XmitMessages", "Message2", "STORED");
            profile.WriteProfileString("Tx", "FontFileName", "hellfont.hlf");
        }
        CIniProfile profile(strIni.toStdString());
        CTestApp app(profile);
        QVERIFY(app.InitInstance({}));
        std::string strError;
        QVERIFY(profile.Flush(strError)); // nothing of the program's own waits to be written
        QCOMPARE(app.GetDocument()->m_strFontFileName, std::string("hellfont.hlf"));

        // Edited by hand: the same size, and the time stamp put back, so only the values differ.
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(strIni).constData(), &st), 0);
        QFile file(strIni);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray text = file.readAll();
        text.replace("Message2=STORED", "Message2=EDITED").replace("=hellfont.hlf", "=nofont12.hlf");
        QVERIFY(file.seek(0));
        QCOMPARE(file.write(text), st.st_size);
        file.close();
        const timespec times[2] = {st.st_atim, st.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(strIni).constData(), times, 0), 0);

        app.Choose(ID_FILE_NEW);
        QCOMPARE(app.GetDocument()->m_strXmitMessages[2], std::string("EDITED"));
        QCOMPARE(app.GetDocument()->m_strFontFileName, std::string("nofont12.hlf"));
        QCOMPARE(app.m_Messages, std::vector<std::string>{"Can't open font file nofont12.hlf"});
        app.ExitInstance();
    }

    void FileOnTheCommandLineIsLoadedIntoAFreshDocument()
    {
        QFile file(PathOf("night.hel"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(29, 100));
        file.close();
        CIniProfile profile(PathOf("skrivel.ini").toStdString());
        profile.WriteProfileInt("Tx", "ReverseVideo", 1);
        profile.WriteProfileString("XmitMessages", "Message0", "LOADED");
        {
            CTestApp app(profile);
            QVERIFY(app.InitInstance({PathOf("night.hel")}));
            QCOMPARE(app.GetDocument()->m_RxStore.GetByteCount(), std::size_t(29));
            QVERIFY(app.GetDocument()->m_bReverseVideo);
            QCOMPARE(app.GetDocument()->m_strXmitMessages[0], std::string("LOADED"));
            QCOMPARE(app.GetMainFrame()->windowTitle(), QString("night.hel - Skrivel"));
            QVERIFY(app.m_Messages.empty());
            app.ExitInstance();
        }
        CTestApp app(profile);
        QVERIFY(!app.InitInstance({PathOf("missing.hel")}));
        QCOMPARE(app.m_Messages.size(), std::size_t(1));
        QVERIFY(app.m_Messages[0].find("Cannot find this file.") != std::string::npos);
        QCOMPARE(app.ExitInstance(), 0);
    }

    void SettingsThatCannotBeWrittenAreReported()
    {
        // The profile's folder is a plain file: nothing can be written there.
        QFile blocker(PathOf("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        CIniProfile profile(PathOf("blocker/skrivel.ini").toStdString());
        CTestApp app(profile);
        QVERIFY(app.InitInstance({}));
        QCOMPARE(app.ExitInstance(), 0);
        QCOMPARE(app.m_Messages.size(), std::size_t(1));
        QVERIFY(app.m_Messages[0].find("settings") != std::string::npos);
    }

    void AboutBoxShowsVersionAndBuild()
    {
        CIniProfile profile(PathOf("skrivel.ini").toStdString());
        CTestApp app(profile);
        QVERIFY(app.InitInstance({}));
        QStringList texts;
        WhenModal<CAboutDlg>(
            [&texts](CAboutDlg& dialog)
            {
                const auto* pBuild = dialog.findChild<QLineEdit*>("m_strBuild");
                QPushButton* pCool = dialog.findChild<QPushButton*>();
                texts << dialog.windowTitle() << dialog.findChild<QLineEdit*>("m_strVersion")->text()
                      << pBuild->text() << (pBuild->isReadOnly() ? "read-only" : "editable") << pCool->text();
                pCool->click();
            });
        app.Choose(ID_APP_ABOUT);
        QCOMPARE(texts, QStringList({"About skrivel", "Skrivel version " SKRIVEL_VERSION,
                                     "Release build compiled Mar  4 1998", "read-only", "Cool!"}));
        app.ExitInstance();
    }

    void TransmissionOnTheDummyPortComesBackAsThePictureOfTheText()
    {
        CIniProfile profile(PathOf("skrivel.ini").toStdString());
        CTestApp app(profile);
        QVERIFY(app.InitInstance({}));
        CSkrivelDoc& doc = *app.GetDocument();
        CSkrivelTxView& txView = *app.GetMainFrame()->GetTxView();
        QCOMPARE(doc.GetPortName(), std::string("DUMMY"));
        QVERIFY(app.m_Messages.empty()); // the bundled font was found
        app.GetMainFrame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.GetMainFrame()));

        QTest::keyClicks(&txView, "CQ");
        QTest::keyClick(&txView, Qt::Key_T, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(txView.GetXmitPos(), 2, 10000); // only the timer runs the heartbeat
        QTest::keyClick(&txView, Qt::Key_R, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(QString(doc.GetStatusText()), QString("Receiving"), 10000);
        QTest::qWait(500); // the last queued items on their way back

        // What the font says a space, C and Q look like, as the DUMMY port echoes it: two samples for
        // every item, 200 for a marked pixel and 50 for a blank one.
        CItemQueue items;
        for (const int nChar : {' ', 'C', 'Q'})
            FeldHellEncoder::AppendItems(doc.m_HellFont, nChar, items);
        std::vector<std::uint32_t> sent;
        items.RemoveAll(sent);
        QByteArray expected;
        for (const std::uint32_t nItem : sent)
            expected.append(2, static_cast<char>(nItem == 6 ? 200 : 50));
        QCOMPARE(expected.size(), 3 * 7 * 28); // 21 whole columns
        QByteArray stored;
        for (int nPage = 0; nPage < doc.m_RxStore.m_nRxPages; ++nPage)
            stored.append(reinterpret_cast<const char*>(doc.m_RxStore.m_RxPages[nPage]->data()),
                          doc.m_RxStore.GetPageByteCount(nPage));
        QVERIFY(stored.contains(expected));
        QVERIFY(expected.count(char(200)) > 50); // C and Q are not blank

        // The two characters are red and cannot be changed any more.
        const QList<QTextEdit::ExtraSelection> marks = txView.extraSelections();
        QCOMPARE(marks.size(), 1);
        QCOMPARE(marks[0].cursor.selectionStart(), 0);
        QCOMPARE(marks[0].cursor.selectionEnd(), 2);
        QCOMPARE(marks[0].format.foreground().color(), QColor(Qt::red));
        QTest::keyClick(&txView, Qt::Key_End);
        QTest::keyClick(&txView, Qt::Key_Backspace);
        QTest::keyClick(&txView, Qt::Key_Home);
        QTest::keyClick(&txView, Qt::Key_Delete);
        QCOMPARE(txView.toPlainText(), QString("CQ"));
        app.ExitInstance();
    }

private:
    QString PathOf(const char* pszName) const { return m_pDir->filePath(QString::fromLatin1(pszName)); }

    std::unique_ptr<QTemporaryDir> m_pDir;
};

int main(int argc, char* argv[])
{
    // Before the first settings object: the profile and the file dialog's memory go here.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("skrivel"));
    QApplication::setOrganizationName(QStringLiteral("skrivel"));
    CAppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AppTest.moc"
