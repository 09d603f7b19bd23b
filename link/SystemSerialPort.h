// The serial port of the system the program runs on: the native Win32 port on Windows, where
// Qt's serial module is not built, QSerialPort elsewhere.
#pragma once

#if defined(_WIN32)
#include "link/WinSerialPort.h"
namespace zentrola {
using SystemSerialPort = WinSerialPort;
}
#else
#include "link/QtSerialPort.h"
namespace zentrola {
using SystemSerialPort = QtSerialPort;
}
#endif
