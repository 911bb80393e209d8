#include "platform/serial/SerialPort.h"

#include "platform/serial/PortOpen.h"

TSerialPort::~TSerialPort()
{
    Close();
}

bool TSerialPort::Open(const QString &Path)
{
    Close();
    if (Path.isEmpty())
        return false;
    const TPortOpening opening = OpenHeldPort(Path);
    if (!opening.Ok())
        return false;
    ReadyHeldPort(opening.Handle);
    FFd = opening.Handle;
    FLost = false;
    return true;
}
