#pragma once

#include "SimDevice.h"

#include <QString>
#include <QStringList>

// The command line of lumora-sim.
struct TSimOptions {
    TSimConfig Config = SampleDevice();
    QString Link; // --link PATH: symbolic link to the slave
    bool Verbose = false;
    bool Help = false;
};

// Reads Arguments (without the program name) over the sample device's
// values. False with Error set on an unknown option or a bad value.
bool ParseSimOptions(const QStringList &Arguments, TSimOptions &Options, QString &Error);

QString SimUsage();
