#pragma once

#include <QDialog>
#include <QString>

// The About box: the program's icon, the credits, and the version and build texts in two
// read-only fields.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);

    QString m_strVersion; // "Skrivel version " and the project's version
    QString m_strBuild;   // "Release build compiled Mar  4 1998"
};
