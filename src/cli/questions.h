#pragma once

#include "cli/command.h"

#include <string>

// Questions to the person at the console. Keys typed before a question was
// asked do not answer it; where the output goes to a file, the question
// still reaches the person on the error stream.

// Asks and waits for a line: ExitDone with the line in answer,
// ExitInterrupted on Ctrl+C; `ended` says that the input ended unanswered.
int AskLine(CommandContext& context, const std::string& question, std::string& answer, bool& ended);

// Whether an answer says yes: y or yes, in any letter case, with any spaces
// around it, and in Czech a or ano too. Anything else, an empty line
// included, is no.
bool IsYes(const std::string& answer);

// A question whose default is no ("write anyway? [y/N] "): ExitDone with
// the answer in yes (an input that ended says no), or ExitInterrupted.
int AskYesNo(CommandContext& context, const std::string& question, bool& yes);
