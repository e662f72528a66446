#include "engine/RxStore.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

TEST(RxStoreTest, FillsColumnsOfTwentyEightAndPagesOfTwoHundredFortyFive)
{
    CRxStore store;
    store.Reset();
    EXPECT_EQ(store.m_nRxPages, 1);
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(store.Store(static_cast<std::uint8_t>(i)), CRxStore::Progress::None);
    EXPECT_EQ(store.Store(27), CRxStore::Progress::Column);
    EXPECT_EQ(store.m_nRxColumn, 1);
    EXPECT_EQ(store.m_nRxRow, 0);
    for (int i = 28; i < 6859; ++i)
        store.Store(static_cast<std::uint8_t>(i));
    EXPECT_EQ(store.m_nRxColumn, 244);
    EXPECT_EQ(store.m_nRxRow, 27);
    EXPECT_EQ(store.Store(255), CRxStore::Progress::Page);
    EXPECT_EQ(store.m_nRxPages, 2);
    EXPECT_EQ(store.m_nRxPage, 1);
    EXPECT_EQ(store.m_pRxPage, store.m_RxPages[1].get());
    EXPECT_EQ(store.m_nRxColumn, 0);
    EXPECT_EQ(store.GetByteCount(), 6860u);
    EXPECT_EQ((*store.m_RxPages[0])[6859], 255);
    EXPECT_EQ((*store.m_RxPages[0])[28 * 1 + 0], 28);
    EXPECT_EQ(store.GetPageByteCount(1), 0u);

    store.Reset();
    EXPECT_EQ(store.m_nRxPages, 1);
    EXPECT_EQ(store.GetByteCount(), 0u);
    EXPECT_EQ((*store.m_pRxPage)[0], 0); // a fresh page is zeroed
}

TEST(RxStoreTest, AppendingInPiecesMatchesStoringByteByByte)
{
    std::mt19937 random(42);
    std::vector<std::uint8_t> data(6860 * 3 + 101);
    for (auto& nByte : data)
        nByte = static_cast<std::uint8_t>(random());

    CRxStore byByte;
    byByte.Reset();
    for (const std::uint8_t nByte : data)
        byByte.Store(nByte);

    CRxStore inPieces;
    inPieces.Reset();
    inPieces.Store(data[0]);
    std::size_t nAt = 1;
    while (nAt < data.size())
    {
        const std::size_t nRun = std::min<std::size_t>(random() % 9000, data.size() - nAt);
        inPieces.Append(data.data() + nAt, nRun);
        nAt += nRun;
    }
    ASSERT_EQ(inPieces.m_nRxPages, byByte.m_nRxPages);
    EXPECT_EQ(inPieces.m_nRxColumn, byByte.m_nRxColumn);
    EXPECT_EQ(inPieces.m_nRxRow, byByte.m_nRxRow);
    EXPECT_EQ(inPieces.GetByteCount(), data.size());
    for (int nPage = 0; nPage < byByte.m_nRxPages; ++nPage)
        EXPECT_EQ(*inPieces.m_RxPages[nPage], *byByte.m_RxPages[nPage]) << nPage;
}
