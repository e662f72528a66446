#include "app/IniProfile.h"
#include "app/SkrivelApp.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The name titles the message boxes and names the profile: skrivel/skrivel.ini.
    QApplication::setApplicationName(QStringLiteral("skrivel"));
    QApplication::setOrganizationName(QStringLiteral("skrivel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/skrivel.png")));

    CIniProfile profile;
    CSkrivelApp app(profile);
    QStringList strFiles = QApplication::arguments();
    strFiles.removeFirst();
    if (!app.InitInstance(strFiles))
    {
        app.ExitInstance();
        return 1;
    }
    QApplication::exec();
    return app.ExitInstance();
}
