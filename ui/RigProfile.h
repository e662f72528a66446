#pragma once

#include "rig/RigSettings.h"

class IProfile;

// The rig's settings as the profile keeps them, in its [Rig] section.
namespace RigProfile
{
// An unknown PTT method reads as none; lead and tail times out of range as the nearest in it.
CRigSettings Read(IProfile& profile);
void Write(IProfile& profile, const CRigSettings& settings);
} // namespace RigProfile
