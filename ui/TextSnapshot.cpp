#include "ui/TextSnapshot.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

CTextSnapshot::CTextSnapshot(const QTextDocument& doc, int nFrom, int nTo)
{
    for (QTextBlock block = doc.findBlock(nFrom); block.isValid() && block.position() < nTo;
         block = block.next())
    {
        for (auto it = block.begin(); !it.atEnd(); ++it)
        {
            const QTextFragment fragment = it.fragment();
            const int nStart = std::max(fragment.position(), nFrom);
            const int nEnd = std::min(fragment.position() + fragment.length(), nTo);
            if (nStart >= nEnd)
                continue;
            m_strText += fragment.text().mid(nStart - fragment.position(), nEnd - nStart);
            AddRun(nEnd - nStart, fragment.charFormatIndex());
        }
        // The break that ends a block carries the format the next block starts with.
        const int nBreak = block.position() + block.length() - 1;
        if (nBreak >= nFrom && nBreak < nTo)
        {
            m_strText += QChar(QChar::ParagraphSeparator);
            AddRun(1, block.next().charFormatIndex());
        }
    }
}

void CTextSnapshot::Append(const CTextSnapshot& next)
{
    m_strText += next.m_strText;
    for (const SRun& run : next.m_Runs)
        AddRun(run.nLength, run.nFormatIndex);
}

void CTextSnapshot::AddRun(int nLength, int nFormatIndex)
{
    if (!m_Runs.empty() && m_Runs.back().nFormatIndex == nFormatIndex)
        m_Runs.back().nLength += nLength;
    else
        m_Runs.push_back({nLength, nFormatIndex});
}
