#pragma once

#include "sim/transmitter_model.h"

#include <string>
#include <vector>

// The simulator's command language, one command a line:
//   set NAME VALUE | move | fault KIND [ARGS] [COUNT] | fault clear | dump | help
//   | quit
// Every command ends its output with one line "ok" or "error: ...".
enum class CommandResult { Ok, Error, Quit };

CommandResult RunSimCommand(TransmitterModel& model, const std::string& line,
                            std::vector<std::string>& out);

// "-59.16 0xC26CA3D7": the shortest decimal text that reads back as the same
// float, and its bits.
std::string FloatText(float value);
