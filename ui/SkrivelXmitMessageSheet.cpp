#include "ui/SkrivelXmitMessageSheet.h"

#include "doc/SkrivelDoc.h"
#include "ui/SkrivelXmitMessage.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CSkrivelXmitMessageSheet::CSkrivelXmitMessageSheet(const QString& strCaption, QWidget* pParent,
                                                   int nSelectPage, int nPages)
    : QDialog(pParent), m_pTabs(new QTabWidget(this))
{
    setWindowTitle(strCaption);
    m_pTabs->setUsesScrollButtons(false); // every tab in view: the sheet is as wide as they need
    for (int i = 0; i < nPages; ++i)
    {
        auto* pPage = new CSkrivelXmitMessage(m_pTabs);
        m_pTabs->addTab(pPage, tr("Message %1").arg(i + 1));
        m_Pages.push_back(pPage);
    }
    m_pTabs->setCurrentIndex(nSelectPage);

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    pButtons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &CSkrivelXmitMessageSheet::OnOK);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pTabs);
    pLayout->addWidget(pButtons);
}

int CSkrivelXmitMessageSheet::DoModal()
{
    for (CSkrivelXmitMessage* pPage : m_Pages)
        pPage->UpdateData(false);
    if (auto* pCurrent = qobject_cast<CSkrivelXmitMessage*>(m_pTabs->currentWidget()))
        pCurrent->GetEdit()->setFocus();
    return exec();
}

void CSkrivelXmitMessageSheet::OnOK()
{
    for (CSkrivelXmitMessage* pPage : m_Pages)
        pPage->UpdateData(true);
    accept();
}

bool CSkrivelXmitMessageSheet::EditXmitMessages(CSkrivelDoc& doc, QWidget* pParent)
{
    CSkrivelXmitMessageSheet sheet(tr("Transmit Messages"), pParent, 0, CSkrivelDoc::kXmitMessages);
    for (int i = 0; i < CSkrivelDoc::kXmitMessages; ++i)
        sheet.GetPage(i).m_strText = QString::fromStdString(doc.m_strXmitMessages[i]);
    if (sheet.DoModal() != QDialog::Accepted)
        return false;
    for (int i = 0; i < CSkrivelDoc::kXmitMessages; ++i)
        doc.m_strXmitMessages[i] = sheet.GetPage(i).m_strText.toStdString();
    return true;
}
