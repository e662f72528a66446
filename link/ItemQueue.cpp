#include "link/ItemQueue.h"

#include <algorithm>

void CItemQueue::AddTail(std::uint32_t nItem)
{
    if (m_nCount == m_Items.size())
        Grow();
    m_Items[(m_nHead + m_nCount) % m_Items.size()] = nItem;
    ++m_nCount;
}

void CItemQueue::AddTail(std::uint32_t nItem, std::size_t nRepeat)
{
    for (std::size_t i = 0; i < nRepeat; ++i)
        AddTail(nItem);
}

std::size_t CItemQueue::AddTailCapped(std::uint32_t nItem, std::size_t nCap)
{
    std::size_t nDropped = 0;
    while (m_nCount > 0 && m_nCount >= nCap)
    {
        m_nHead = (m_nHead + 1) % m_Items.size();
        --m_nCount;
        ++nDropped;
    }
    AddTail(nItem);
    return nDropped;
}

std::uint32_t CItemQueue::RemoveHead()
{
    const std::uint32_t nItem = m_Items[m_nHead];
    m_nHead = (m_nHead + 1) % m_Items.size();
    if (--m_nCount == 0)
        OnDrained();
    return nItem;
}

void CItemQueue::RemoveAll(std::vector<std::uint32_t>& items)
{
    if (m_nCount == 0)
        return;
    const std::size_t nFirstRun = std::min(m_nCount, m_Items.size() - m_nHead);
    items.insert(items.end(), m_Items.begin() + m_nHead, m_Items.begin() + m_nHead + nFirstRun);
    items.insert(items.end(), m_Items.begin(), m_Items.begin() + (m_nCount - nFirstRun));
    m_nCount = 0;
    OnDrained();
}

void CItemQueue::Grow()
{
    std::vector<std::uint32_t> larger(std::max<std::size_t>(16, m_Items.size() * 2));
    for (std::size_t i = 0; i < m_nCount; ++i)
        larger[i] = m_Items[(m_nHead + i) % m_Items.size()];
    m_Items.swap(larger);
    m_nHead = 0;
}

void CItemQueue::OnDrained()
{
    m_nHead = 0;
    if (m_Items.size() > kRetainedCapacity)
        std::vector<std::uint32_t>().swap(m_Items);
}
