#pragma once

#include "cli/CliCommand.h"

#include <QStringList>

#include <vector>

// The commands of the tool, in the order the overview lists them.
const std::vector<TCliCommand> &CliCommands();

// Runs the tool with Args (without the program name) and returns the exit
// status: 0 success, 1 device or link failure, 2 usage error or invalid input.
int RunCli(const QStringList &Args, TCliOutput &Out);

// "lumora-cli 1.2.0"
QString CliVersionText();
