#pragma once

#include <gtest/gtest.h>

#include <QString>

#include <cstdlib>

// The COM ports tests/windows/run.sh prepared, each leading to a lumora-sim:
//   LUMORA_COM_SIM      a sample device
//   LUMORA_COM_SILENT   a device that never answers
//   LUMORA_COM_REMOVED  a device that takes its time to answer and is
//                       removed once it has seen a request
inline int TestComPort(const char *Variable)
{
    const char *value = std::getenv(Variable);
    if (value == nullptr || std::atoi(value) < 1) {
        ADD_FAILURE() << Variable << " is not set: run the Windows tests through tests/windows/run.sh";
        return 0;
    }
    return std::atoi(value);
}

inline QString TestComPath(const char *Variable)
{
    return QStringLiteral("\\\\.\\COM%1").arg(TestComPort(Variable));
}
