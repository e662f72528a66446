#include "link/SerialLink.h"

#include "link/LinkQueues.h"

// Placeholder until the link lands: a port is only recorded by name.

CSerialLink::CSerialLink(CLinkQueues& queues) : m_Queues(queues) {}

CSerialLink::~CSerialLink()
{
    StopIoThread();
    ClosePort();
}

bool CSerialLink::OpenPort(const std::string& strName)
{
    StopIoThread();
    ClosePort();
    const bool bOpened = strName == "DUMMY" ? OpenDummyPort() : OpenComPort(strName);
    if (bOpened)
        StartIoThread(15);
    return bOpened;
}

bool CSerialLink::OpenComPort(const std::string& strName)
{
    if (m_bDummyPort || m_hPort >= 0 || strName.empty())
        return false;
    m_strPortName = strName;
    return true;
}

bool CSerialLink::OpenDummyPort()
{
    if (m_bDummyPort || m_hPort >= 0)
        return false;
    m_strPortName = "DUMMY";
    m_bDummyPort = true;
    return true;
}

void CSerialLink::ClosePort()
{
    m_hPort = -1;
    m_bDummyPort = false;
    m_strPortName.clear();
}

bool CSerialLink::StartIoThread(int /*nPriority*/)
{
    return true;
}

void CSerialLink::StopIoThread() {}

int CSerialLink::IoThreadProc(CSerialLink* pLink)
{
    return pLink->IoLoop();
}

int CSerialLink::IoLoop()
{
    return 0;
}
