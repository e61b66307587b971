#pragma once

#include <string>

// Pulls and plugs the virtual cable COM5 <-> COM6 while everything runs,
// through scripts/lib/cable: its socat is ended and started again with the
// same links, and Wine's COM ports follow the links. The script runs as a
// Unix program, which Wine starts but does not wait for; marker files say
// when it is ready and when it is done and how it ended.
class CableControl {
public:
    // Starts the script that pulls the cable and waits until it is ready.
    bool Arm();
    // The armed script pulls the cable now (within a few milliseconds).
    bool Fire();
    // Until the cable is gone.
    bool Finish();
    bool Unplug() { return Arm() && Fire() && Finish(); }
    bool Plug();
    bool Plugged() const { return IsPlugged; }

private:
    bool Start(const std::string& arguments);

    bool IsPlugged = true;
};
