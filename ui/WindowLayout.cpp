#include "ui/WindowLayout.h"

#include "doc/ProfileSettings.h"

#include <QByteArray>
#include <QMainWindow>
#include <QSplitter>

namespace
{
// The toolkit's binary state as text, so that the INI file keeps it as one readable line.
QByteArray ReadState(IProfile& profile, const ProfileSettings::SText& setting)
{
    return QByteArray::fromBase64(QByteArray::fromStdString(ProfileSettings::Read(profile, setting)));
}

void WriteState(IProfile& profile, const ProfileSettings::SText& setting, const QByteArray& state)
{
    ProfileSettings::Write(profile, setting, state.toBase64().toStdString());
}
} // namespace

void WindowLayout::Restore(QMainWindow& window, QSplitter& splitter, IProfile& profile)
{
    // The toolkit refuses state it cannot read and leaves the window as it is.
    window.restoreGeometry(ReadState(profile, ProfileSettings::kWindowGeometry));
    window.restoreState(ReadState(profile, ProfileSettings::kWindowState));
    splitter.restoreState(ReadState(profile, ProfileSettings::kWindowSplit));
}

void WindowLayout::Save(const QMainWindow& window, const QSplitter& splitter, IProfile& profile)
{
    WriteState(profile, ProfileSettings::kWindowGeometry, window.saveGeometry());
    WriteState(profile, ProfileSettings::kWindowState, window.saveState());
    WriteState(profile, ProfileSettings::kWindowSplit, splitter.saveState());
}
