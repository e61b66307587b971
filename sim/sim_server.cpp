#include "sim/sim_server.h"

#include <algorithm>
#include <string>

namespace {
// Binary mode, DTR and RTS raised, no flow control: the line as the tool sets it.
constexpr DWORD LineFlags = 0x1011;
} // namespace

bool SimServer::Start(const char* portName, bool paced) {
    if (Running()) return false;
    std::string path = portName;
    if (path.compare(0, 2, "\\\\") != 0) path = "\\\\.\\" + path;
    if (!Port.Open(path.c_str())) return false;
    Port.Configure(9600, LineFlags, 8, NOPARITY, ONESTOPBIT);
    COMMTIMEOUTS timeouts = {0, 0, PollMs, 0, 100};
    Port.SetTimeouts(timeouts);
    // A device switched on hears nothing of what was sent before.
    Port.Purge(PURGE_TXCLEAR | PURGE_RXCLEAR);
    Paced = paced;
    Stopping = false;
    Worker = std::thread(&SimServer::Serve, this);
    return true;
}

void SimServer::Stop() {
    if (!Running()) return;
    Stopping = true;
    Worker.join();
    Port.Close();
}

void SimServer::Serve() {
    Clock::time_point frameStart = Clock::now();
    size_t frameBytes = 0;
    uint8_t buffer[64];
    while (!Stopping) {
        size_t wanted;
        bool betweenFrames;
        {
            std::lock_guard<std::mutex> lock(ModelLock);
            wanted = std::min(Model.BytesWanted(), sizeof buffer);
            betweenFrames = Model.BetweenFrames();
        }
        // Asking for just the bytes that complete the frame lets the read
        // return the moment they are in (a read that takes whatever is
        // there waits out its whole time-out under Wine).
        DWORD got = Port.Read(buffer, static_cast<DWORD>(wanted));
        if (got && betweenFrames) {
            frameStart = Clock::now();
            frameBytes = 0;
        }
        frameBytes += got;
        std::vector<SimReply> replies;
        {
            std::lock_guard<std::mutex> lock(ModelLock);
            replies = got ? Model.Receive(buffer, got) : Model.LineIdle();
            RepliesMade += static_cast<unsigned>(replies.size());
        }
        // Paced, a reply cannot start before the request has crossed the line.
        Clock::time_point earliest =
            Paced ? frameStart + ByteTime * frameBytes : Clock::time_point();
        for (const SimReply& reply : replies) {
            Send(reply, earliest);
            ++RepliesWritten;
        }
    }
}

void SimServer::Send(const SimReply& reply, Clock::time_point earliest) {
    Clock::time_point at =
        std::max(Clock::now(), earliest) + std::chrono::milliseconds(reply.DelayMs);
    const size_t size = reply.Wire.size();
    const size_t piece = reply.PieceSize ? reply.PieceSize : size;
    for (size_t from = 0; from < size; from += piece) {
        if (from) at += std::chrono::milliseconds(reply.GapMs);
        const size_t n = std::min(piece, size - from);
        if (!Paced) {
            if (!WaitUntil(at)) return;
            Port.Write(&reply.Wire[from], static_cast<DWORD>(n));
            continue;
        }
        // Each byte is handed over when it would have finished arriving.
        for (size_t i = from; i < from + n; ++i) {
            at += ByteTime;
            if (!WaitUntil(at)) return;
            Port.Write(&reply.Wire[i], 1);
        }
    }
}

bool SimServer::WaitUntil(Clock::time_point deadline) {
    using std::chrono::milliseconds;
    // Sleeps are only good to a millisecond or so; the last stretch is spun.
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
        if (Stopping) return false;
        if (deadline - now > milliseconds(2)) {
            std::this_thread::sleep_for(
                std::min<Clock::duration>(deadline - now - milliseconds(2), milliseconds(10)));
        } else {
            std::this_thread::yield();
        }
    }
    return !Stopping;
}
