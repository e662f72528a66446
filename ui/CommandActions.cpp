#include "ui/CommandActions.h"

#include "ui/CmdUI.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

namespace
{
constexpr int kFaceWidth = 48;
constexpr int kFaceHeight = 15;

// A toolbar face: the button's word, centred in a 48 x 15 image.
QPixmap DrawFace(const char* pszWord, CommandTable::EFaceStyle nStyle)
{
    QPixmap pixmap(kFaceWidth, kFaceHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = QApplication::font();
    font.setPixelSize(12);
    font.setBold(true);
    font.setItalic(nStyle == CommandTable::EFaceStyle::Italic);
    painter.setFont(font);
    switch (nStyle)
    {
    case CommandTable::EFaceStyle::Red:
        painter.setPen(QColor(0xC0, 0, 0));
        break;
    case CommandTable::EFaceStyle::Green:
        painter.setPen(QColor(0, 0x80, 0));
        break;
    case CommandTable::EFaceStyle::Plain:
    case CommandTable::EFaceStyle::Italic:
        painter.setPen(Qt::black);
        break;
    }
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::fromLatin1(pszWord));
    return pixmap;
}
} // namespace

CCommandActions::CCommandActions(QWidget* pWindow, CommandHandler onCommand)
    : QObject(pWindow), m_pWindow(pWindow), m_OnCommand(std::move(onCommand))
{
    for (const CommandTable::SCommand& command : CommandTable::GetCommands())
    {
        QAction* pAction = Create(command.nID, command.pszCaption);
        if (command.pszKeys != nullptr)
            pAction->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(command.pszKeys),
                                                               QKeySequence::PortableText));
    }
}

QAction* CCommandActions::Create(int nID, const char* pszCaption)
{
    auto* pAction = new QAction(QString::fromLatin1(pszCaption != nullptr ? pszCaption : ""), m_pWindow);
    pAction->setShortcutContext(Qt::WindowShortcut);
    pAction->setIconVisibleInMenu(false);
    if (const CommandTable::SCommand* pCommand = CommandTable::Find(nID); pCommand && pCommand->pszPrompt)
        pAction->setStatusTip(QString::fromLatin1(pCommand->pszPrompt));
    connect(pAction, &QAction::triggered, this, [this, nID] { m_OnCommand(nID); });
    m_pWindow->addAction(pAction);
    m_Actions.emplace(nID, pAction);
    return pAction;
}

void CCommandActions::BuildMenuBar(QMenuBar* pMenuBar, const std::function<void()>& onAboutToShow)
{
    for (const CommandTable::SMenu& menu : CommandTable::GetMenus())
    {
        QMenu* pMenu = pMenuBar->addMenu(QString::fromLatin1(menu.pszCaption));
        connect(pMenu, &QMenu::aboutToShow, this, onAboutToShow);
        AddItems(pMenu, menu.items);
    }
}

void CCommandActions::AddItems(QMenu* pMenu, std::span<const CommandTable::SMenuItem> items)
{
    for (const CommandTable::SMenuItem& item : items)
    {
        if (item.nID == CommandTable::kSeparator && item.submenu.empty())
            pMenu->addSeparator();
        else if (item.nID == CommandTable::kSeparator)
            AddItems(pMenu->addMenu(QString::fromLatin1(item.pszCaption)), item.submenu);
        else if (item.pszCaption != nullptr)
            pMenu->addAction(Create(item.nID, item.pszCaption));
        else
            pMenu->addAction(Get(item.nID));
    }
}

void CCommandActions::BuildToolBar(QToolBar* pToolBar)
{
    pToolBar->setIconSize(QSize(kFaceWidth, kFaceHeight));
    pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const CommandTable::SToolButton& button : CommandTable::GetToolBar())
    {
        if (button.nID == CommandTable::kSeparator)
        {
            pToolBar->addSeparator();
            continue;
        }
        QAction* pAction = Get(button.nID);
        pAction->setIcon(QIcon(DrawFace(button.pszFace, button.nStyle)));
        pToolBar->addAction(pAction);
        pToolBar->widgetForAction(pAction)->installEventFilter(this);
    }
}

bool CCommandActions::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // The buttons' prompts go to the status bar only.
    if (pEvent->type() == QEvent::ToolTip)
        return true;
    return QObject::eventFilter(pWatched, pEvent);
}

void CCommandActions::Update(const Router& route)
{
    for (const auto& [nID, pAction] : m_Actions)
    {
        CCmdUI ui;
        const bool bHandled = route(nID, &ui);
        Apply(pAction, ui, bHandled);
    }
}

void CCommandActions::Update(const Router& route, std::span<const int> ids)
{
    for (const int nID : ids)
    {
        const auto [itFirst, itEnd] = m_Actions.equal_range(nID);
        for (auto it = itFirst; it != itEnd; ++it)
        {
            CCmdUI ui;
            const bool bHandled = route(nID, &ui);
            Apply(it->second, ui, bHandled);
        }
    }
}

void CCommandActions::Apply(QAction* pAction, const CCmdUI& ui, bool bHandled)
{
    pAction->setEnabled(bHandled && ui.m_bEnabled);
    // A radio mark is drawn as a bullet only for an action of an exclusive group; each such
    // action gets a group of its own, so that two radio marks can show at once.
    if (ui.m_bRadio && pAction->actionGroup() == nullptr)
    {
        auto* pGroup = new QActionGroup(pAction);
        pGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        pGroup->addAction(pAction);
    }
    const bool bMarked = bHandled && ui.m_bChecked;
    pAction->setCheckable(bMarked);
    pAction->setChecked(bMarked);
}

QAction* CCommandActions::Get(int nID) const
{
    const auto it = m_Actions.find(nID);
    return it == m_Actions.end() ? nullptr : it->second;
}
