#pragma once

#include "devlink/serial_port.h"
#include "sim/transmitter_model.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

// Serves a TransmitterModel on a COM port from a thread of its own, so that
// a test can run the transmitter in-process on one end of a cable. Others
// reach the model only through WithModel, which holds the model's lock.
class SimServer {
public:
    using Clock = std::chrono::steady_clock;
    // One byte on a 9600 baud line: start bit, 8 data bits, stop bit.
    static constexpr std::chrono::nanoseconds ByteTime{10 * 1000000000LL / 9600};
    // How long a read waits for the PC before the line counts as quiet.
    static constexpr DWORD PollMs = 50;

    SimServer() = default;
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;
    ~SimServer() { Stop(); }

    // Opens the port ("COM6", or a whole device path) at 9600 8N1 and starts
    // serving. Paced, the reply waits for the request's wire time and then
    // goes out one byte per byte time, as on a real line.
    bool Start(const char* portName, bool paced = false);
    // Stops the thread (a reply still waiting to go out is dropped) and
    // closes the port.
    void Stop();
    bool Running() const { return Worker.joinable(); }
    // Whether every reply the model has made so far has gone out on the line
    // (or was dropped by Stop): nothing late or paused is still to come.
    bool RepliesOut() const { return RepliesWritten == RepliesMade; }

    template <class F> auto WithModel(F&& use) {
        std::lock_guard<std::mutex> lock(ModelLock);
        return use(Model);
    }

private:
    void Serve();
    void Send(const SimReply& reply, Clock::time_point earliest);
    // Waits for the deadline; false when the server is stopping.
    bool WaitUntil(Clock::time_point deadline);

    SerialPort Port;
    TransmitterModel Model;
    std::mutex ModelLock;
    std::thread Worker;
    std::atomic<bool> Stopping{false};
    std::atomic<unsigned> RepliesMade{0}, RepliesWritten{0};
    bool Paced = false;
};
