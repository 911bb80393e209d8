#pragma once

#include "cli/CliCommand.h"

#include <QStringList>

#include <cstdint>

// The COM number of a "COMn" or "n" operand; false (with the usage message
// printed and Exit set) when it is none.
bool PortOperand(TCliContext &Context, const QString &given, int32_t &number, int &exit);

// `port map COMn PATH` and `port unmap COMn` (Operands from the word "map"
// or "unmap" on). On Windows, whose numbers are its own, both refuse.
int MapPort(TCliContext &Context, const QStringList &operands);
int UnmapPort(TCliContext &Context, const QStringList &operands);
