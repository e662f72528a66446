#include "app/AboutDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{
const char kBuildDate[] = "Mar  4 1998";

QLineEdit* AddField(QWidget* pParent, const QString& strText, const char* pszName)
{
    auto* pField = new QLineEdit(strText, pParent);
    pField->setObjectName(QString::fromLatin1(pszName));
    pField->setReadOnly(true);
    pField->setFrame(false);
    pField->setFocusPolicy(Qt::NoFocus);
    // Shown as plain text on the dialog's own background.
    QPalette palette = pField->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    pField->setPalette(palette);
    return pField;
}
} // namespace

CAboutDlg::CAboutDlg(QWidget* pParent)
    : QDialog(pParent), m_strVersion(QStringLiteral("Skrivel version " SKRIVEL_VERSION)),
      m_strBuild(QStringLiteral("Release ") + QStringLiteral("build compiled ") + QLatin1String(kBuildDate))
{
    setWindowTitle(QStringLiteral("About skrivel"));

    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    pIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* pCredit = new QLabel(QStringLiteral("Skrivel, a Feld-Hell terminal for amateur radio,\n"
                                              "written by its author for the Hellschreiber community."),
                               this);
    auto* pPurpose = new QLabel(QStringLiteral("Designed to interface to the 56002 EVM DSP card running\n"
                                               "the Feld-Hell DSP program. The Hell font is the work of\n"
                                               "its designer, with thanks."),
                                this);

    auto* pButtons = new QDialogButtonBox(this);
    QPushButton* pCool = pButtons->addButton(QStringLiteral("Cool!"), QDialogButtonBox::AcceptRole);
    pCool->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* pLayout = new QGridLayout(this);
    pLayout->addWidget(pIcon, 0, 0, 4, 1);
    pLayout->addWidget(pCredit, 0, 1);
    pLayout->addWidget(AddField(this, m_strVersion, "m_strVersion"), 1, 1);
    pLayout->addWidget(AddField(this, m_strBuild, "m_strBuild"), 2, 1);
    pLayout->addWidget(pPurpose, 3, 1);
    pLayout->addWidget(pButtons, 0, 2, 4, 1, Qt::AlignTop);
}
