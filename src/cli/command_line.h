#pragma once

#include "cli/command.h"

#include <string>
#include <vector>

// The commands vl4 knows.
extern const CommandSpec PortsCommand, ScanCommand, ReadCommand, SetCommand, SaveCommand,
    LoadCommand, LogCommand, CalibrateCommand, VerifyCommand, HistoryCommand, CertificateCommand;

// Runs vl4 with the words of its command line after the program's name and
// answers the exit status.
int RunVl4(CommandContext& context, const std::vector<std::string>& words);
