#pragma once

#include "sim/sim_server.h"

// The simulated transmitter serving the simulator's end of the cable (COM6)
// for as long as the object lives. Steer it through Server.WithModel.
struct SimOnCable {
    static constexpr const char* Port = "COM6";

    explicit SimOnCable(bool paced = false) : Started(Server.Start(Port, paced)) {}

    SimServer Server;
    bool Started;
};
