#pragma once

#include <QString>

#include <vector>

class QTextDocument;

// What a stretch [nFrom, nTo) of a text document holds: its characters (a paragraph break as
// U+2029) and the character format of each. Two snapshots of the same stretch of one document are
// equal exactly when nothing in it was changed, deleted, inserted into or reformatted.
class CTextSnapshot
{
public:
    // One stretch of characters of the same format, by the document's format index.
    struct SRun
    {
        int nLength = 0;
        int nFormatIndex = -1;
        bool operator==(const SRun&) const = default;
    };

    CTextSnapshot() = default;
    CTextSnapshot(const QTextDocument& doc, int nFrom, int nTo);

    // Extends this snapshot by one that starts where this one ends.
    void Append(const CTextSnapshot& next);

    const QString& GetText() const { return m_strText; }
    const std::vector<SRun>& GetRuns() const { return m_Runs; }

    bool operator==(const CTextSnapshot&) const = default;

private:
    void AddRun(int nLength, int nFormatIndex);

    QString m_strText;
    std::vector<SRun> m_Runs; // adjacent runs always differ in format
};
