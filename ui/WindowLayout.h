#pragma once

class IProfile;
class QMainWindow;
class QSplitter;

// The main window's layout kept in the profile: its size and place, its toolbars' places and the
// split between its panes.
namespace WindowLayout
{
// Puts back what Save stored; what is missing or unreadable keeps the layout the window has.
void Restore(QMainWindow& window, QSplitter& splitter, IProfile& profile);
void Save(const QMainWindow& window, const QSplitter& splitter, IProfile& profile);
} // namespace WindowLayout
