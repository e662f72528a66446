#pragma once

#include <complex>
#include <cstdint>
#include <functional>

struct nco_crcf_s;

// A transmitter's tone keyed pixel by pixel, with raised-cosine edges of 4 ms centred on the
// pixel boundaries. It gives the analytic signal, so that a channel can rotate and scale it
// (fading) before taking the real part. The keyer asks for each pixel's state one pixel ahead
// of the pixel it plays, so its output runs exactly one pixel behind what it was fed.
class CFeldHellTransmitter
{
public:
    using PixelSource = std::function<bool()>;

    static constexpr double kEdgeSeconds = 0.004;

    // dPixelRate in pixels per second (245 for a board, slightly off for a station whose clock
    // runs fast or slow).
    CFeldHellTransmitter(double dToneHz, double dPixelRate, PixelSource nextPixel);
    ~CFeldHellTransmitter();
    CFeldHellTransmitter(const CFeldHellTransmitter&) = delete;
    CFeldHellTransmitter& operator=(const CFeldHellTransmitter&) = delete;

    void Generate(std::complex<float>* pOut, std::size_t nSamples);

private:
    float Envelope(double dPixelPhase) const;
    void Advance();

    double m_dPixelRate;
    double m_dEdgePixels; // the edge width in pixels
    PixelSource m_NextPixel;
    nco_crcf_s* m_pNco;
    std::uint64_t m_nSample = 0;
    std::int64_t m_nPixel = -2; // the pixel being played; m_bPrev, m_bCur, m_bNext around it
    bool m_bPrev = false;
    bool m_bCur = false;
    bool m_bNext = false;
};
