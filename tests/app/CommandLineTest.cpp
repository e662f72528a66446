// The real program's command line: --help and --version answer with no display and no
// environment but PATH, and an option the program does not know is refused, not taken for a file.

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace
{
struct CRun
{
    int nExitCode = -1;
    QString strOut;
    QString strErr;
};

// Skrivel with the given environment; the sanitizers' settings of a sanitizer build carry over,
// as they concern the build, not the program.
CRun Run(const QStringList& args, QProcessEnvironment env)
{
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    for (const QString& strName : system.keys())
        if (strName.endsWith(QLatin1String("SAN_OPTIONS")))
            env.insert(strName, system.value(strName));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SKRIVEL_PROGRAM), args);
    CRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.nExitCode = process.exitCode();
    run.strOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.strErr = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QProcessEnvironment OnlyPath()
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    return env;
}
} // namespace

class CCommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void HelpAndVersionAnswerWithoutADisplay()
    {
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(SKRIVEL_VERSION).hasMatch());
        for (const char* pszOption : {"--version", "-v"})
        {
            const CRun run = Run({QString::fromLatin1(pszOption)}, OnlyPath());
            QCOMPARE(run.nExitCode, 0);
            QCOMPARE(run.strOut, QStringLiteral("skrivel " SKRIVEL_VERSION "\n"));
        }
        for (const char* pszOption : {"--help", "-h", "-help"})
        {
            const CRun run = Run({QString::fromLatin1(pszOption), QStringLiteral("night.hel")}, OnlyPath());
            QCOMPARE(run.nExitCode, 0);
            QVERIFY2(run.strOut.contains(QStringLiteral("[options] [file]")), qPrintable(run.strOut));
            QVERIFY(run.strOut.contains(QStringLiteral("--version")));
            QVERIFY(run.strOut.contains(QStringLiteral("receive-data file")));
        }
    }

    void AnUnknownOptionIsRefused()
    {
        QProcessEnvironment env = OnlyPath();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Qt's own options still go to Qt; a single-dash word is one option, not -r -e -v ...
        const CRun run = Run({QStringLiteral("-reverse"), QStringLiteral("--no-such-option")}, env);
        QCOMPARE(run.nExitCode, 1);
        QVERIFY2(run.strErr.contains(QStringLiteral("no-such-option")), qPrintable(run.strErr));
        QVERIFY(!run.strErr.contains(QStringLiteral("'reverse'")));
        QVERIFY(run.strOut.isEmpty());
    }
};

QTEST_GUILESS_MAIN(CCommandLineTest)

#include "CommandLineTest.moc"
