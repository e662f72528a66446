#pragma once

#include "modem/FeldHellRates.h"

#include <complex>
#include <cstdint>
#include <functional>

struct nco_crcf_s;

// A Feld-Hell transmitter: a tone keyed pixel by pixel by transmit items, one a pixel (the low
// byte of the link's items: bit 2 keys the transmitter, bit 1 turns on the tone, which sounds only
// while keyed), with raised-cosine edges of 4 ms centred on the pixel boundaries. It takes each
// item one pixel ahead of the pixel it plays, so that an edge can rise into it; its output runs
// exactly one pixel behind what it was fed.
class CFeldHellTransmitter
{
public:
    // Gives the next pixel's item; called from Generate, once each pixel time.
    using ItemSource = std::function<std::uint8_t()>;

    static constexpr double kEdgeSeconds = 0.004;

    // dPixelRate in pixels per second (245, or slightly off for a station whose clock runs fast or
    // slow). The tone must lie below half the sample rate.
    explicit CFeldHellTransmitter(ItemSource nextItem, double dToneHz = FeldHellRates::kDefaultToneHz,
                                  int nSampleRate = FeldHellRates::kSampleRate,
                                  double dPixelRate = FeldHellRates::kPixelRate);
    ~CFeldHellTransmitter();
    CFeldHellTransmitter(const CFeldHellTransmitter&) = delete;
    CFeldHellTransmitter& operator=(const CFeldHellTransmitter&) = delete;

    // The next nSamples of audio; a key-down tone has amplitude 1.
    void Generate(float* pOut, std::size_t nSamples);
    // The same as an analytic signal, for a channel that rotates and scales it (fading) before
    // taking the real part.
    void GenerateAnalytic(std::complex<float>* pOut, std::size_t nSamples);

    // Whether the transmitter is keyed at the last sample generated: from the moment it takes a
    // keyed item until the pixel after the last keyed one has played, so that both edges of the
    // tone lie inside.
    bool IsKeyed() const;

    // Changes the tone from the next sample on, without a jump in its phase.
    void SetToneHz(double dToneHz);

private:
    std::complex<float> NextSample();
    float Envelope(double dPixelPhase) const;
    void Advance();

    int m_nSampleRate;
    double m_dPixelRate;
    double m_dEdgePixels; // the edge width in pixels
    ItemSource m_NextItem;
    nco_crcf_s* m_pNco;
    std::uint64_t m_nSample = 0;
    std::int64_t m_nPixel = -2; // the pixel being played; m_nPrev, m_nCur, m_nNext the items around it
    std::uint8_t m_nPrev = 0;
    std::uint8_t m_nCur = 0;
    std::uint8_t m_nNext = 0;
};
