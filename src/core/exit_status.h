#pragma once

// How a command or a calibration ended, as vl4's exit status tells a script
// and the window tells its user.
enum ExitStatus : int {
    ExitDone = 0,
    ExitFailed = 1,        // the transmitter did not answer, refused, or a value did not verify
    ExitUsage = 2,         // wrong usage or a bad file
    ExitInterrupted = 130, // Ctrl+C, a closing console, a stop asked for
};
