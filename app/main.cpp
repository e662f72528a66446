#include "app/IniProfile.h"
#include "app/SkrivelApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>

namespace
{
// --help, --version and a receive-data file to load. A word after a single dash is one option,
// as Qt's own are (-platform, -reverse), never a row of one-letter options.
void DescribeOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Skrivel, a Feld-Hell terminal for amateur radio."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A receive-data file (.hel) to load at start."),
                                 QStringLiteral("[file]"));
}

// Whether the command line asks only for help or the version, which need no window system. Any
// other option, Qt's own among them, is left to the application object.
bool AsksForHelpOrVersion(int argc, char* argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    DescribeOptions(parser);
    return parser.parse(args) &&
           (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")) ||
            parser.isSet(QStringLiteral("version")));
}

// The icon at every size the build rendered it.
QIcon WindowIcon()
{
    QIcon icon;
    const QDir dir(QStringLiteral(":/icons"));
    for (const QString& strName : dir.entryList(QDir::Files))
        icon.addFile(dir.filePath(strName));
    return icon;
}
} // namespace

int main(int argc, char* argv[])
{
    // The name titles the message boxes and names the profile: skrivel/skrivel.ini.
    QCoreApplication::setApplicationName(QStringLiteral("skrivel"));
    QCoreApplication::setOrganizationName(QStringLiteral("skrivel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SKRIVEL_VERSION));
    QCommandLineParser parser;
    DescribeOptions(parser);
    if (AsksForHelpOrVersion(argc, argv))
    {
        // Answered before QApplication, which aborts where there is no display.
        QCoreApplication core(argc, argv);
        parser.process(core); // prints the answer and ends the program
    }

    QApplication application(argc, argv);
    QApplication::setWindowIcon(WindowIcon());
    parser.process(application); // an unknown option ends the program with the reason

    CIniProfile profile;
    CSkrivelApp app(profile);
    if (!app.InitInstance(parser.positionalArguments()))
    {
        app.ExitInstance();
        return 1;
    }
    QApplication::exec();
    return app.ExitInstance();
}
