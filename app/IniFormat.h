#pragma once

#include <QSettings>

// The profile's INI syntax for QSettings: "[Section]" lines and "Key=Value" lines, values kept
// exactly as written. Unlike Qt's own INI format, a hand-written value is never split at commas
// nor stripped of its quotes, so a shell command such as  sh -c "a, b"  reads back unchanged.
// Line breaks, tabs, backslashes and a leading space are written as \n, \r, \t, \\ and \s, and
// reading undoes only these. The file is written in UTF-8; a value that is no valid UTF-8 (from a
// profile of an older system) reads as Windows-1252.
namespace IniFormat
{
// The format, registered with QSettings on first use.
QSettings::Format Get();

bool Read(QIODevice& device, QSettings::SettingsMap& map);
bool Write(QIODevice& device, const QSettings::SettingsMap& map);
} // namespace IniFormat
