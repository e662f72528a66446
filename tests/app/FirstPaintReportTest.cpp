// The real program from outside: the opt-in first-paint report, as bench/measure-program.sh uses
// it (the times it writes, and the close it asks for going through the program's orderly
// shutdown), and the same orderly shutdown when the program is ended by a signal.

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <time.h>

namespace
{
double MonotonicSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

// The number after pszPrefix on the line that starts with it; -1 when there is none.
double NumberAfter(const QString& strOutput, const char* pszPrefix)
{
    const QRegularExpression line(QStringLiteral("^%1([0-9.]+)").arg(QRegularExpression::escape(pszPrefix)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(strOutput);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

// Skrivel on the offscreen platform with a fresh profile in dir and the report asked for.
void Start(QProcess& process, const QTemporaryDir& dir, const QString& strReport)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SKRIVEL_REPORT_FIRST_PAINT"), strReport);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SKRIVEL_PROGRAM), {});
}

// Waits for the report of the first paint, collecting what the program writes to stderr.
void AwaitFirstPaint(QProcess& process, QString& strOutput)
{
    QTRY_VERIFY_WITH_TIMEOUT((strOutput += QString::fromLocal8Bit(process.readAllStandardError()))
                                 .contains(QStringLiteral("skrivel: first paint at ")),
                             30000);
}
} // namespace

class CFirstPaintReportTest : public QObject
{
    Q_OBJECT

private slots:
    void CloseAfterTheFirstPaintShutsDownInOrder();
    void WithoutCloseTheWindowStays();
    void TerminationSignalsShutDownInOrder();
};

void CFirstPaintReportTest::CloseAfterTheFirstPaintShutsDownInOrder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess process;
    const double tLaunch = MonotonicSeconds();
    Start(process, dir, QStringLiteral("close"));
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);

    const QString strOutput = QString::fromLocal8Bit(process.readAllStandardError());
    const double tPaint = NumberAfter(strOutput, "skrivel: first paint at ");
    const double tClose = NumberAfter(strOutput, "skrivel: close requested at ");
    QVERIFY2(tPaint >= tLaunch, qPrintable(strOutput));
    QVERIFY2(tClose >= tPaint, qPrintable(strOutput));
    // The time since the process started, counted by the kernel in 10 ms ticks.
    const QRegularExpressionMatch elapsed =
        QRegularExpression(QStringLiteral(" s, (\\d+) ms after the process started\n")).match(strOutput);
    QVERIFY2(elapsed.hasMatch(), qPrintable(strOutput));
    QVERIFY(elapsed.captured(1).toDouble() <= (MonotonicSeconds() - tLaunch) * 1000 + 10);

    // The settings are written only by the orderly shutdown that a user's close starts.
    const QSettings profile(dir.filePath(QStringLiteral("skrivel/skrivel.ini")), QSettings::IniFormat);
    QCOMPARE(profile.value(QStringLiteral("Comm/Port")).toString(), QStringLiteral("DUMMY"));
}

void CFirstPaintReportTest::WithoutCloseTheWindowStays()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess process;
    Start(process, dir, QStringLiteral("1"));
    QString strOutput;
    AwaitFirstPaint(process, strOutput);
    QVERIFY(!process.waitForFinished(500));
    QVERIFY(!strOutput.contains(QStringLiteral("close requested")));
    process.kill();
    process.waitForFinished();
}

void CFirstPaintReportTest::TerminationSignalsShutDownInOrder()
{
    for (const int nSignal : {SIGTERM, SIGINT, SIGHUP})
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString strMarker = dir.filePath(QStringLiteral("shut-down"));
        {
            QSettings profile(dir.filePath(QStringLiteral("skrivel/skrivel.ini")), QSettings::IniFormat);
            profile.setValue(QStringLiteral("Shutdown/Command"), QStringLiteral("touch ") + strMarker);
        }
        QProcess process;
        Start(process, dir, QStringLiteral("1"));
        QString strOutput;
        AwaitFirstPaint(process, strOutput);
        QVERIFY(strOutput.contains(QStringLiteral("first paint")));
        ::kill(static_cast<pid_t>(process.processId()), nSignal);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        // Settings written, port closed, shutdown command run.
        const QSettings profile(dir.filePath(QStringLiteral("skrivel/skrivel.ini")), QSettings::IniFormat);
        QCOMPARE(profile.value(QStringLiteral("Comm/Port")).toString(), QStringLiteral("DUMMY"));
        QVERIFY(QFile::exists(strMarker));
    }
}

QTEST_MAIN(CFirstPaintReportTest)
#include "FirstPaintReportTest.moc"
