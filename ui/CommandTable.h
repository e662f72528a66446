#pragma once

#include <span>

// Every command of the window in one place: its menu caption, accelerator keys, status-bar prompt
// and toolbar face, the menu bar's layout and the toolbar's buttons. The frame builds one QAction
// per command from this table; nothing else names captions, keys or prompts.
namespace CommandTable
{
// How a toolbar face draws its word.
enum class EFaceStyle
{
    Plain,
    Red,
    Green,
    Italic,
};

struct SCommand
{
    int nID;
    // Menu text with its mnemonic and, after a tab, the key shown beside it; null for a command
    // that has no menu item of its own.
    const char* pszCaption;
    // Accelerator keys in QKeySequence's portable form, separated by "; "; null for none.
    const char* pszKeys;
    // Status-bar prompt; null for none.
    const char* pszPrompt;
};

// One entry of a menu: a command, a separator (nID 0, no caption) or a submenu (nID 0, a caption
// and items). A caption here replaces the command's own caption in this one place.
struct SMenuItem
{
    int nID;
    const char* pszCaption;
    std::span<const SMenuItem> submenu;
};

struct SMenu
{
    const char* pszCaption;
    std::span<const SMenuItem> items;
};

// A toolbar button (nID 0 is a separator between groups).
struct SToolButton
{
    int nID;
    const char* pszFace;
    EFaceStyle nStyle;
};

constexpr int kSeparator = 0;

std::span<const SCommand> GetCommands();
// The command with this id, or null.
const SCommand* Find(int nID);
std::span<const SMenu> GetMenus();
std::span<const SToolButton> GetToolBar();
} // namespace CommandTable
