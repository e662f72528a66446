#pragma once

#include "modem/FeldHellRates.h"
#include "modem/HellMode.h"

#include <complex>
#include <cstdint>
#include <functional>

struct nco_crcf_s;

// A Hell transmitter: a tone keyed pixel by pixel by transmit items, one a pixel (the low byte of
// the link's items: bit 2 keys the transmitter, bit 1 marks the pixel), with raised-cosine edges
// of kEdgePixels (4 ms at Feld-Hell) centred on the pixel boundaries. An on-off mode sounds the
// tone for a marked pixel only; FSK sounds while keyed, a marked pixel half the shift below the
// tone and a blank one half above, with no jump in phase. It takes each item one pixel ahead of
// the pixel it plays, so that an edge can rise into it; its output runs exactly one pixel behind
// what it was fed.
class CFeldHellTransmitter
{
public:
    // Gives the next pixel's item; called from Generate, once each pixel time.
    using ItemSource = std::function<std::uint8_t()>;

    static constexpr double kEdgePixels = 0.98;

    // The mode sets the pace and the keying; dPpm runs its clock that many parts per million fast
    // (or slow, for a negative dPpm), as a distant station's may. The tone must lie below half the
    // sample rate.
    explicit CFeldHellTransmitter(ItemSource nextItem, double dToneHz = FeldHellRates::kDefaultToneHz,
                                  int nSampleRate = FeldHellRates::kSampleRate,
                                  const CHellMode& mode = HellModes::FeldHell(), double dPpm = 0.0);
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
    float LevelOf(std::uint8_t nItem) const;
    void Advance();
    void Tune();

    int m_nSampleRate;
    double m_dPixelRate;
    bool m_bFsk;
    double m_dShiftHz;
    double m_dToneHz = 0.0;
    ItemSource m_NextItem;
    nco_crcf_s* m_pNco;
    std::uint64_t m_nSample = 0;
    std::int64_t m_nPixel = -2; // the pixel being played; m_nPrev, m_nCur, m_nNext the items around it
    std::uint8_t m_nPrev = 0;
    std::uint8_t m_nCur = 0;
    std::uint8_t m_nNext = 0;
};
