#include "link/PortFactory.h"

#include "link/DummyPort.h"
#include "link/PortName.h"
#include "link/SerialPort.h"

std::unique_ptr<IPort> PortFactory::Create(const std::string& strName)
{
    if (strName == PortName::kDummy)
        return std::make_unique<CDummyPort>();
    return std::make_unique<CSerialPort>(strName);
}
