#include "modem/FeldHellTransmitter.h"

#include "modem/FeldHellRates.h"

#include <liquid/liquid.h>

#include <cmath>
#include <numbers>

namespace
{
// The raised-cosine step: 0 before the edge, 1 after it, half-way at the boundary.
// dOffset and dWidth in the same unit.
float SmoothStep(double dOffset, double dWidth)
{
    if (dOffset <= -dWidth / 2)
        return 0.0f;
    if (dOffset >= dWidth / 2)
        return 1.0f;
    return static_cast<float>(0.5 + 0.5 * std::sin(std::numbers::pi * dOffset / dWidth));
}
} // namespace

CFeldHellTransmitter::CFeldHellTransmitter(double dToneHz, double dPixelRate, PixelSource nextPixel)
    : m_dPixelRate(dPixelRate), m_dEdgePixels(kEdgeSeconds * dPixelRate), m_NextPixel(std::move(nextPixel)),
      m_pNco(nco_crcf_create(LIQUID_NCO))
{
    nco_crcf_set_frequency(m_pNco,
                           static_cast<float>(2 * std::numbers::pi * dToneHz / FeldHellRates::kSampleRate));
}

CFeldHellTransmitter::~CFeldHellTransmitter()
{
    nco_crcf_destroy(m_pNco);
}

void CFeldHellTransmitter::Advance()
{
    m_bPrev = m_bCur;
    m_bCur = m_bNext;
    m_bNext = m_NextPixel();
    ++m_nPixel;
}

float CFeldHellTransmitter::Envelope(double dPixelPhase) const
{
    // Only the two boundaries of the current pixel can be inside an edge: a pixel is longer
    // than half an edge.
    const float fRise = SmoothStep(dPixelPhase, m_dEdgePixels);
    const float fFall = SmoothStep(dPixelPhase - 1.0, m_dEdgePixels);
    const float fPrev = m_bPrev ? 1.0f : 0.0f;
    const float fCur = m_bCur ? 1.0f : 0.0f;
    const float fNext = m_bNext ? 1.0f : 0.0f;
    return fPrev + (fCur - fPrev) * fRise + (fNext - fCur) * fFall;
}

void CFeldHellTransmitter::Generate(std::complex<float>* pOut, std::size_t nSamples)
{
    for (std::size_t i = 0; i < nSamples; ++i, ++m_nSample)
    {
        // Pixel k plays from pixel time k + 1: one pixel of look-ahead. The product is exact, so
        // a boundary that falls on a sample is never rounded into the pixel before it.
        const double dTime = static_cast<double>(m_nSample) * m_dPixelRate / FeldHellRates::kSampleRate - 1.0;
        const auto nPixel = static_cast<std::int64_t>(std::floor(dTime));
        while (m_nPixel < nPixel)
            Advance();
        std::complex<float> carrier;
        nco_crcf_cexpf(m_pNco, &carrier);
        nco_crcf_step(m_pNco);
        pOut[i] = carrier * Envelope(dTime - static_cast<double>(nPixel));
    }
}
