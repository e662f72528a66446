#pragma once

// The state of one command's menu item and toolbar button, filled in by the target that handles it.
class CCmdUI
{
public:
    void Enable(bool bEnabled = true) { m_bEnabled = bEnabled; }
    void SetCheck(bool bChecked) { m_bChecked = bChecked; }
    // A radio mark (bullet) instead of a check mark.
    void SetRadio(bool bOn)
    {
        m_bRadio = true;
        m_bChecked = bOn;
    }

    bool m_bEnabled = true;
    bool m_bChecked = false;
    bool m_bRadio = false;
};
