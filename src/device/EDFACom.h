#pragma once

#include "ComUnit.h"
#include "DeviceView.h"
#include "Records.h"

#include <QString>

// The program's one information record: zero until the first successful
// read, then the record of the last successful read.
extern TDeviceInfo DeviceInfo;

// The update time of DeviceInfo up to its first zero byte, at most 20 characters.
QString UpdateTimeToStr();

// The device connection: a TCOMMan that reads the device information record
// every time the port has been opened and shows it in MainFormView.
class TEDFACom : public TCOMMan {
public:
    using TCOMMan::TCOMMan;

    // TCOMMan's Open, then ReadDevice when the port opened. A device that
    // does not answer does not make Open fail.
    bool Open(int32_t PortNumber) override;
    // Blanks the window, reads the record and shows it or the failure.
    void ReadDevice();

private:
    void ClearDeviceView();
    void ShowDeviceInfo();
};
