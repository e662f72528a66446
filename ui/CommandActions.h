#pragma once

#include "ui/CommandTable.h"

#include <QObject>

#include <functional>
#include <map>
#include <span>

class CCmdUI;
class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// The window's QActions, built once from the command table: one per command, plus one for each
// place where a menu shows a command under another caption. All of them belong to the window, so
// their keys work wherever the focus is inside it. Triggering one hands its id to the command
// handler; Update asks the router for every command's state and applies it.
class CCommandActions : public QObject
{
    Q_OBJECT

public:
    // Fills in pCmdUI for the command, or carries it out when pCmdUI is null; false when no
    // target handles it.
    using Router = std::function<bool(int nID, CCmdUI* pCmdUI)>;
    using CommandHandler = std::function<void(int nID)>;

    CCommandActions(QWidget* pWindow, CommandHandler onCommand);

    // Builds the menus of the table into the bar; onAboutToShow runs before any menu opens.
    void BuildMenuBar(QMenuBar* pMenuBar, const std::function<void()>& onAboutToShow);
    // Adds the table's buttons with their faces to the toolbar; the buttons show no tooltips.
    void BuildToolBar(QToolBar* pToolBar);

    // Sets every action's enabled, checked and radio state from the router: a command that no
    // target handles is disabled.
    void Update(const Router& route);
    // The same for the given commands only.
    void Update(const Router& route, std::span<const int> ids);

    // The action of a command (the first one, where there are several); null for an unknown id.
    QAction* Get(int nID) const;
    const std::multimap<int, QAction*>& GetAll() const { return m_Actions; }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QAction* Create(int nID, const char* pszCaption);
    void AddItems(QMenu* pMenu, std::span<const CommandTable::SMenuItem> items);
    static void Apply(QAction* pAction, const CCmdUI& ui, bool bHandled);

    QWidget* m_pWindow;
    CommandHandler m_OnCommand;
    std::multimap<int, QAction*> m_Actions;
};
