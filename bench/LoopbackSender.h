#pragma once

#include <cstddef>
#include <vector>

// A UDP socket that sends datagrams to ports on 127.0.0.1, as the phones of a benchmark do.
class LoopbackSender {
public:
    LoopbackSender();
    ~LoopbackSender();
    LoopbackSender(const LoopbackSender&) = delete;
    LoopbackSender& operator=(const LoopbackSender&) = delete;

    void send(int port, const std::vector<std::byte>& datagram) const;

    // A port on 127.0.0.1 that nothing is bound to right now.
    static int freePort();

private:
    int mSocket;
};
