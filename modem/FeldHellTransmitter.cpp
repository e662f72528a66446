#include "modem/FeldHellTransmitter.h"

#include "link/TxItems.h"

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

bool IsMarked(std::uint8_t nItem)
{
    return (nItem & TxItems::kMarked) == TxItems::kMarked;
}
} // namespace

CFeldHellTransmitter::CFeldHellTransmitter(ItemSource nextItem, double dToneHz, int nSampleRate,
                                           const CHellMode& mode, double dPpm)
    : m_nSampleRate(nSampleRate), m_dPixelRate(mode.GetPixelRate() * (1.0 + dPpm * 1e-6)),
      m_bFsk(mode.m_nKeying == EHellKeying::Fsk), m_dShiftHz(mode.m_dShiftHz), m_NextItem(std::move(nextItem)),
      m_pNco(nco_crcf_create(LIQUID_NCO))
{
    SetToneHz(dToneHz);
}

CFeldHellTransmitter::~CFeldHellTransmitter()
{
    nco_crcf_destroy(m_pNco);
}

void CFeldHellTransmitter::SetToneHz(double dToneHz)
{
    m_dToneHz = dToneHz;
    Tune();
}

void CFeldHellTransmitter::Tune()
{
    // FSK's pixel sits on the lower tone when marked; the NCO keeps its phase across a change.
    double dHz = m_dToneHz;
    if (m_bFsk)
        dHz += IsMarked(m_nCur) ? -m_dShiftHz / 2 : m_dShiftHz / 2;
    nco_crcf_set_frequency(m_pNco, static_cast<float>(2 * std::numbers::pi * dHz / m_nSampleRate));
}

bool CFeldHellTransmitter::IsKeyed() const
{
    return ((m_nPrev | m_nCur | m_nNext) & TxItems::kKeyed) != 0;
}

void CFeldHellTransmitter::Advance()
{
    m_nPrev = m_nCur;
    m_nCur = m_nNext;
    m_nNext = m_NextItem();
    ++m_nPixel;
    if (m_bFsk)
        Tune();
}

float CFeldHellTransmitter::LevelOf(std::uint8_t nItem) const
{
    if (m_bFsk)
        return (nItem & TxItems::kKeyed) != 0 ? 1.0f : 0.0f;
    return IsMarked(nItem) ? 1.0f : 0.0f;
}

float CFeldHellTransmitter::Envelope(double dPixelPhase) const
{
    // Only the two boundaries of the current pixel can be inside an edge: a pixel is longer
    // than half an edge.
    const float fRise = SmoothStep(dPixelPhase, kEdgePixels);
    const float fFall = SmoothStep(dPixelPhase - 1.0, kEdgePixels);
    const float fPrev = LevelOf(m_nPrev);
    const float fCur = LevelOf(m_nCur);
    const float fNext = LevelOf(m_nNext);
    return fPrev + (fCur - fPrev) * fRise + (fNext - fCur) * fFall;
}

std::complex<float> CFeldHellTransmitter::NextSample()
{
    // Pixel k plays from pixel time k + 1: one pixel of look-ahead. The product is exact, so a
    // boundary that falls on a sample is never rounded into the pixel before it.
    const double dTime = static_cast<double>(m_nSample++) * m_dPixelRate / m_nSampleRate - 1.0;
    const auto nPixel = static_cast<std::int64_t>(std::floor(dTime));
    while (m_nPixel < nPixel)
        Advance();
    std::complex<float> carrier;
    nco_crcf_cexpf(m_pNco, &carrier);
    nco_crcf_step(m_pNco);
    return carrier * Envelope(dTime - static_cast<double>(nPixel));
}

void CFeldHellTransmitter::Generate(float* pOut, std::size_t nSamples)
{
    for (std::size_t i = 0; i < nSamples; ++i)
        pOut[i] = NextSample().real();
}

void CFeldHellTransmitter::GenerateAnalytic(std::complex<float>* pOut, std::size_t nSamples)
{
    for (std::size_t i = 0; i < nSamples; ++i)
        pOut[i] = NextSample();
}
