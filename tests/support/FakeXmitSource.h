#pragma once

#include "doc/IXmitSource.h"

#include <string>
#include <utility>

// A transmit text held as a string; characters flagged in the Morse mask go out as Morse.
class CFakeXmitSource : public IXmitSource
{
public:
    explicit CFakeXmitSource(std::string strText = {}, std::string strMorse = {})
        : m_strText(std::move(strText)), m_strMorse(std::move(strMorse))
    {
    }

    void GetNextXmitChar(int& ch, bool& morse) override
    {
        ch = -1;
        morse = false;
        if (m_nPos >= m_strText.size())
            return;
        morse = m_nPos < m_strMorse.size() && m_strMorse[m_nPos] != ' ';
        ch = static_cast<unsigned char>(m_strText[m_nPos++]);
    }
    void ClearUnsentText() override { m_strText.resize(m_nPos); }

    std::string m_strText;
    std::string m_strMorse; // non-blank where the character is bold
    std::size_t m_nPos = 0;
};
