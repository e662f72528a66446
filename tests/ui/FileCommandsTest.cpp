// Receive-data files through the window's commands: the file dialogs, the title, the recent-file
// list, failures and dropped files.

#include "DropEvents.h"
#include "FrameFixture.h"
#include "ModalDialogs.h"
#include "ui/CommandIds.h"
#include "ui/SkrivelRxView.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{
QByteArray ReadFile(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void WriteFile(const QString& strPath, const QByteArray& data)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// Answers the next file dialog with a name, as the operator types it. A dialog without the
// receive-data filter is cancelled and fails the test.
void AnswerFileDialog(const QString& strPath)
{
    WhenModal<QFileDialog>(
        [strPath](QFileDialog& dialog)
        {
            const bool bFiltered = dialog.nameFilters() == QStringList{"Skrivel Rx Data (*.hel)"};
            const QFileInfo info(strPath);
            dialog.setDirectory(info.absolutePath());
            // Drops the file the dialog came up with selected; the name box then holds the name
            // whether or not it has the focus.
            dialog.selectFile(info.fileName());
            dialog.findChild<QLineEdit*>("fileNameEdit")->setText(info.fileName());
            if (bFiltered)
                static_cast<QDialog&>(dialog).accept(); // as the Save or Open button does
            else
                dialog.reject();
            QVERIFY(bFiltered);
        });
}
} // namespace

class CFileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_pDir->isValid());
    }

    void SaveAfterClearRxWritesAnEmptyFile()
    {
        CFrameFixture f;
        QVERIFY(f.m_bActive);
        QCOMPARE(f.Frame().windowTitle(), QString("Untitled - Skrivel"));
        for (int i = 0; i < 100; ++i)
            f.Doc().StoreRxPixel(7, true);
        f.Choose(ID_EDIT_CLEAR_RX);

        // Save without a name asks for one; a name typed without extension gets ".hel".
        AnswerFileDialog(PathOf("cleared"));
        f.Key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(f.Doc().WaitForFileWork());
        QCOMPARE(ReadFile(PathOf("cleared.hel")), QByteArray());
        QCOMPARE(f.Frame().windowTitle(), QString("cleared.hel - Skrivel"));
        QCOMPARE(f.m_Profile.GetProfileString("Recent File List", "File1", ""),
                 QFile::encodeName(PathOf("cleared.hel")).toStdString());
        QVERIFY(f.IsEnabled(ID_FILE_MRU_FILE1));
        QCOMPARE(f.Frame().GetAction(ID_FILE_MRU_FILE1)->text(),
                 "&1 " + PathOf("cleared.hel").replace("&", "&&"));
        QVERIFY(!f.Frame().GetAction(ID_FILE_MRU_FILE1 + 1)->isVisible());
        QVERIFY(f.m_Host.m_Messages.empty());
    }

    void TwentyNineBytesLoadAndSaveAgainUnchanged()
    {
        QByteArray data;
        for (int i = 0; i < 29; ++i)
            data.append(static_cast<char>(i * 8));
        WriteFile(PathOf("in.hel"), data);

        CFrameFixture f;
        QVERIFY(f.m_bActive);
        QTest::keyClicks(&f.TxView(), "KEPT");
        QVERIFY(f.Frame().OpenDocumentFile(PathOf("in.hel")));
        QVERIFY(f.Doc().WaitForFileWork());
        const CRxStore& store = f.Doc().m_RxStore;
        QCOMPARE(store.m_nRxPages, 1);
        QCOMPARE(store.m_nRxColumn, 1);
        QCOMPARE(store.m_nRxRow, 1);
        QCOMPARE(f.Frame().windowTitle(), QString("in.hel - Skrivel"));
        QCOMPARE(f.TxView().toPlainText(), QString("KEPT"));

        AnswerFileDialog(PathOf("out.hel"));
        f.Choose(ID_FILE_SAVE_AS);
        QVERIFY(f.Doc().WaitForFileWork());
        QCOMPARE(ReadFile(PathOf("out.hel")), data);
        QCOMPARE(f.Frame().windowTitle(), QString("out.hel - Skrivel"));

        // Newest first, each file once; the older entry opens the first file again.
        const CRecentFileList& recent = f.Frame().GetRecentFiles();
        QCOMPARE(recent.GetCount(), 2);
        QCOMPARE(QFile::decodeName(recent.Get(0).c_str()), PathOf("out.hel"));
        QCOMPARE(QFile::decodeName(recent.Get(1).c_str()), PathOf("in.hel"));
        f.Choose(ID_EDIT_CLEAR_RX);
        f.Choose(ID_FILE_MRU_FILE1 + 1);
        QVERIFY(f.Doc().WaitForFileWork());
        QCOMPARE(store.GetByteCount(), std::size_t(29));
        QCOMPARE(QFile::decodeName(recent.Get(0).c_str()), PathOf("in.hel"));
        QCOMPARE(recent.GetCount(), 2);

        // Save keeps the file's name without asking.
        f.Doc().StoreRxPixel(1, true);
        f.Key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(f.Doc().WaitForFileWork());
        QCOMPARE(ReadFile(PathOf("in.hel")), data + QByteArray(1, 1));
    }

    void FailedLoadsShowTheStandardMessage()
    {
        CFrameFixture f;
        for (int i = 0; i < 40; ++i)
            f.Doc().StoreRxPixel(9, true);
        // A folder is no data file: the message, and the picture stays as it was.
        QVERIFY(!f.Frame().OpenDocumentFile(m_pDir->path()));
        QCOMPARE(f.m_Host.m_Messages, std::vector<std::string>{"Invalid filename."});
        QCOMPARE(f.Doc().m_RxStore.GetByteCount(), std::size_t(40));
        QCOMPARE(f.Frame().windowTitle(), QString("Untitled - Skrivel"));
        QCOMPARE(f.Frame().GetRecentFiles().GetCount(), 0);

        // A recent file that has gone leaves the list.
        WriteFile(PathOf("gone.hel"), "x");
        QVERIFY(f.Frame().OpenDocumentFile(PathOf("gone.hel")));
        QVERIFY(f.Doc().WaitForFileWork());
        QFile::remove(PathOf("gone.hel"));
        f.Choose(ID_FILE_MRU_FILE1);
        QCOMPARE(f.m_Host.m_Messages.size(), std::size_t(2));
        QVERIFY(f.m_Host.m_Messages[1].find("Cannot find this file.") != std::string::npos);
        QCOMPARE(f.Frame().GetRecentFiles().GetCount(), 0);
        QVERIFY(!f.IsEnabled(ID_FILE_MRU_FILE1));
        QCOMPARE(f.Frame().GetAction(ID_FILE_MRU_FILE1)->text(), QString("Recent File"));
        QCOMPARE(f.m_Profile.GetProfileString("Recent File List", "File1", "?"), std::string());
    }

    void DroppedFiles()
    {
        WriteFile(PathOf("a.hel"), QByteArray(30, 5));
        WriteFile(PathOf("b.hel"), QByteArray(3, 5));
        CFrameFixture f;
        QWidget* pViewport = f.Frame().GetRxView()->viewport();

        DropOn(pViewport, QPoint(10, 10), {}, {PathOf("a.hel"), PathOf("b.hel")});
        QCOMPARE(f.m_Host.m_Messages, std::vector<std::string>{"Hey! Only one file at a time!"});
        QCOMPARE(f.Doc().m_RxStore.GetByteCount(), std::size_t(0));

        DropOn(pViewport, QPoint(10, 10), {}, {PathOf("a.hel")});
        QVERIFY(f.Doc().WaitForFileWork());
        QCOMPARE(f.Doc().m_RxStore.GetByteCount(), std::size_t(30));
        QCOMPARE(f.Frame().windowTitle(), QString("a.hel - Skrivel"));
        QCOMPARE(f.Frame().GetRecentFiles().GetCount(), 1);
        QCOMPARE(f.m_Host.m_Messages.size(), std::size_t(1));
    }

private:
    QString PathOf(const char* pszName) const { return m_pDir->filePath(QString::fromLatin1(pszName)); }

    std::unique_ptr<QTemporaryDir> m_pDir;
};

QTEST_MAIN(CFileCommandsTest)
#include "FileCommandsTest.moc"
