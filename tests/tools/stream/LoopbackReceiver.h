#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// UDP sockets on consecutive 127.0.0.1 ports that collect what arrives. Nothing here sends.
class LoopbackReceiver {
public:
    struct Datagram {
        int socketIndex = 0;
        std::vector<std::uint8_t> bytes;
        std::chrono::steady_clock::time_point arrival;
    };

    explicit LoopbackReceiver(int sockets = 1);
    ~LoopbackReceiver();
    LoopbackReceiver(const LoopbackReceiver&) = delete;
    LoopbackReceiver& operator=(const LoopbackReceiver&) = delete;

    int port(int index = 0) const { return firstPort_ + index; }

    // Collects while moreMayCome(count so far) holds, then drains; gives up after 30 s.
    std::vector<Datagram> collect(const std::function<bool(std::size_t)>& moreMayCome);

private:
    std::vector<int> fds_;
    int firstPort_ = 0;
};
