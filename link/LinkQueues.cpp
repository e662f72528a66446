#include "link/LinkQueues.h"

#include <utility>

void CLinkQueues::AddRx(std::span<const std::uint32_t> items)
{
    std::scoped_lock lock(m_RxQueueLock);
    for (const std::uint32_t nItem : items)
        m_nRxDropped += m_RxQueue.AddTailCapped(nItem, kRxQueueCap);
}

std::uint64_t CLinkQueues::TakeAllRx(std::vector<std::uint32_t>& items)
{
    std::scoped_lock lock(m_RxQueueLock);
    m_RxQueue.RemoveAll(items);
    return std::exchange(m_nRxDropped, 0);
}

std::size_t CLinkQueues::GetRxCount() const
{
    std::scoped_lock lock(m_RxQueueLock);
    return m_RxQueue.GetCount();
}

void CLinkQueues::AddTx(CItemQueue& items)
{
    std::scoped_lock lock(m_TxQueueLock);
    while (!items.IsEmpty())
        m_TxQueue.AddTail(items.RemoveHead());
}

void CLinkQueues::AddTx(std::uint32_t nItem, std::size_t nRepeat)
{
    std::scoped_lock lock(m_TxQueueLock);
    m_TxQueue.AddTail(nItem, nRepeat);
}

std::size_t CLinkQueues::GetTxCount() const
{
    std::scoped_lock lock(m_TxQueueLock);
    return m_TxQueue.GetCount();
}

std::uint32_t CLinkQueues::TakeTx(std::uint32_t nFiller, std::size_t nRepeat)
{
    std::scoped_lock lock(m_TxQueueLock);
    if (m_TxQueue.IsEmpty())
        m_TxQueue.AddTail(nFiller, nRepeat);
    return m_TxQueue.RemoveHead();
}

bool CLinkQueues::TryTakeTx(std::uint32_t& nItem)
{
    std::scoped_lock lock(m_TxQueueLock);
    if (m_TxQueue.IsEmpty())
        return false;
    nItem = m_TxQueue.RemoveHead();
    return true;
}

void CLinkQueues::TakeAllTx(std::vector<std::uint32_t>& items)
{
    std::scoped_lock lock(m_TxQueueLock);
    m_TxQueue.RemoveAll(items);
}
