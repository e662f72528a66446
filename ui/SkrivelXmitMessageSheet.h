#pragma once

#include <QDialog>

#include <vector>

class CSkrivelDoc;
class CSkrivelXmitMessage;
class QTabWidget;

// The canned-message editor: a modal sheet with one tab per message ("Message 1" ... "Message n")
// and OK and Cancel. OK takes every page's text (a page never opened gives back what it was given);
// Cancel and the close box leave the pages' m_strText as they were.
class CSkrivelXmitMessageSheet : public QDialog
{
    Q_OBJECT

public:
    CSkrivelXmitMessageSheet(const QString& strCaption, QWidget* pParent, int nSelectPage, int nPages);

    CSkrivelXmitMessage& GetPage(int nPage) { return *m_Pages.at(nPage); }

    // Shows the pages' m_strText, runs the sheet modally and, on OK, stores the texts back into
    // m_strText. Returns QDialog::Accepted or QDialog::Rejected.
    int DoModal();

    // "Edit Xmit Messages...": edits the document's nine messages; true when the operator chose OK.
    static bool EditXmitMessages(CSkrivelDoc& doc, QWidget* pParent);

private:
    void OnOK();

    QTabWidget* m_pTabs;
    std::vector<CSkrivelXmitMessage*> m_Pages; // owned by the tabs
};
