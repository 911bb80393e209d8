#include "fleet/FleetLink.h"

bool TFleetLink::OpenChoice(const TPortChoice &Choice)
{
    FPortName = Choice.Name;
    FDevicePath = Choice.Path;
    return OpenDevice(Choice.Path);
}
