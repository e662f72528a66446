#include "ui/RigProfile.h"

#include "doc/ProfileSettings.h"

#include <algorithm>

CRigSettings RigProfile::Read(IProfile& profile)
{
    CRigSettings settings;
    RigPtt::FromName(ProfileSettings::Read(profile, ProfileSettings::kRigPtt), settings.m_nPtt);
    settings.m_nModel = ProfileSettings::Read(profile, ProfileSettings::kRigModel);
    settings.m_strDevice = ProfileSettings::Read(profile, ProfileSettings::kRigDevice);
    settings.m_nSpeed = ProfileSettings::Read(profile, ProfileSettings::kRigSpeed);
    settings.m_strAddress = ProfileSettings::Read(profile, ProfileSettings::kRigAddress);
    settings.m_nLeadMs =
        std::clamp(ProfileSettings::Read(profile, ProfileSettings::kRigLead), 0, CRigSettings::kMaxDelayMs);
    settings.m_nTailMs =
        std::clamp(ProfileSettings::Read(profile, ProfileSettings::kRigTail), 0, CRigSettings::kMaxDelayMs);
    return settings;
}

void RigProfile::Write(IProfile& profile, const CRigSettings& settings)
{
    ProfileSettings::Write(profile, ProfileSettings::kRigPtt, RigPtt::GetName(settings.m_nPtt));
    ProfileSettings::Write(profile, ProfileSettings::kRigModel, settings.m_nModel);
    ProfileSettings::Write(profile, ProfileSettings::kRigDevice, settings.m_strDevice);
    ProfileSettings::Write(profile, ProfileSettings::kRigSpeed, settings.m_nSpeed);
    ProfileSettings::Write(profile, ProfileSettings::kRigAddress, settings.m_strAddress);
    ProfileSettings::Write(profile, ProfileSettings::kRigLead, settings.m_nLeadMs);
    ProfileSettings::Write(profile, ProfileSettings::kRigTail, settings.m_nTailMs);
}
