#include "link/AudioTuning.h"

#include <iterator>

void CAudioTuning::AddLine(CSpectrumLine line)
{
    std::scoped_lock lock(m_LinesLock);
    m_Lines.push_back(std::move(line));
    if (m_Lines.size() > kMaxLines)
        m_Lines.pop_front();
}

void CAudioTuning::TakeLines(std::vector<CSpectrumLine>& lines)
{
    std::scoped_lock lock(m_LinesLock);
    lines.insert(lines.end(), std::make_move_iterator(m_Lines.begin()), std::make_move_iterator(m_Lines.end()));
    m_Lines.clear();
}
