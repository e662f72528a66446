#include "doc/PictureSettings.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace
{
int IndexOfZoom(int nZoom)
{
    const auto it = std::min_element(std::begin(SPictureSettings::kZoomSteps), std::end(SPictureSettings::kZoomSteps),
                                     [nZoom](int a, int b) { return std::abs(a - nZoom) < std::abs(b - nZoom); });
    return static_cast<int>(it - std::begin(SPictureSettings::kZoomSteps));
}
} // namespace

SPictureSettings SPictureSettings::Clamped() const
{
    SPictureSettings clamped;
    clamped.nBrightness = std::clamp(nBrightness, kMinLevel, kMaxLevel);
    clamped.nContrast = std::clamp(nContrast, kMinLevel, kMaxLevel);
    clamped.nZoom = kZoomSteps[IndexOfZoom(nZoom)];
    clamped.nSlant = std::clamp(nSlant, -kMaxSlant, kMaxSlant);
    return clamped;
}

int SPictureSettings::GetZoomStep(int nSteps) const
{
    const int nLast = static_cast<int>(std::size(kZoomSteps)) - 1;
    return kZoomSteps[std::clamp(IndexOfZoom(nZoom) + nSteps, 0, nLast)];
}
