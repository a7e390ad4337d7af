#pragma once

// A UDP port on 127.0.0.1 that the system picked as free. Held, it keeps the port taken (as
// another program would); released, the port is free for a node to use.
class LoopbackPort {
public:
    LoopbackPort();
    ~LoopbackPort();
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;

    // The first of `count` consecutive ports that were all free a moment ago.
    static int freeConsecutive(int count);

    int port() const { return mPort; }
    void release();

private:
    int mSocket = -1;
    int mPort = 0;
};
