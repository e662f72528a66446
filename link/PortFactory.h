#pragma once

#include "link/IPort.h"

#include <memory>
#include <string>

// The one place that knows every kind of port.
namespace PortFactory
{
// The port a name stands for, not opened yet: "DUMMY" exactly is the simulated port, any other
// name a serial device.
std::unique_ptr<IPort> Create(const std::string& strName);
} // namespace PortFactory
