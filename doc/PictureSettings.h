#pragma once

// How the receive picture is painted: brightness, contrast, zoom and slant correction. They
// change only the painting; the stored samples stay as received.
struct SPictureSettings
{
    // Brightness and contrast run from -100 to 100; 0 paints the levels as they are.
    static constexpr int kMinLevel = -100;
    static constexpr int kMaxLevel = 100;
    // The zoom steps, in percent of the picture's own size.
    static constexpr int kZoomSteps[] = {100, 150, 200, 300};
    // The slant correction either way, in parts per million of the station's column length.
    static constexpr int kMaxSlant = 10000;

    int nBrightness = 0;
    int nContrast = 0;
    int nZoom = 100;
    int nSlant = 0;

    // Each value within its range, the zoom on the nearest step.
    SPictureSettings Clamped() const;
    // The zoom step after (nSteps > 0) or before the current one, kept within the steps.
    int GetZoomStep(int nSteps) const;

    bool operator==(const SPictureSettings&) const = default;
};
