#pragma once

#include "board/HellReader.h"
#include "engine/HellFont.h"
#include "engine/FeldHellEncoder.h"
#include "link/TxItems.h"
#include "link/ItemQueue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// What a shell command writes to its standard output.
inline std::string RunAndRead(const std::string& strCommand)
{
    std::string strOut;
    FILE* pPipe = popen(strCommand.c_str(), "r");
    if (pPipe == nullptr)
        return strOut;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pPipe))
        strOut.append(buffer, n);
    pclose(pPipe);
    return strOut;
}

// The font the program ships, as built beside the tests.
inline const CHellFont& BundledFont()
{
    static const CHellFont font = []
    {
        CHellFont f;
        EXPECT_TRUE(f.Load(SKRIVEL_BUNDLED_FONT)) << SKRIVEL_BUNDLED_FONT;
        return f;
    }();
    return font;
}

// The transmit bytes of a text, as the document's encoder makes them.
inline std::vector<std::uint8_t> TxBytesOf(const std::string& strText)
{
    CItemQueue queue;
    for (const char c : strText)
        FeldHellEncoder::AppendItems(BundledFont(), static_cast<unsigned char>(c), queue);
    std::vector<std::uint32_t> items;
    queue.RemoveAll(items);
    return {items.begin(), items.end()};
}

// A clean picture of a text: each pixel two samples, nMark for a marked one and nBlank else,
// after nLead blank samples.
inline std::vector<std::uint8_t> PictureOf(const std::string& strText, std::size_t nLead = 0,
                                           std::uint8_t nMark = 210, std::uint8_t nBlank = 30)
{
    std::vector<std::uint8_t> samples(nLead, nBlank);
    for (const std::uint8_t nByte : TxBytesOf(strText))
        samples.insert(samples.end(), CHellReader::kSamplesPerPixel,
                       nByte == TxItems::kMarked ? nMark : nBlank);
    return samples;
}
