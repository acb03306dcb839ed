// 127.0.0.1 and a port as a socket address, for tests that open plain
// sockets; port 0 lets bind pick a free one.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdint>

inline sockaddr_in LoopbackAddress(int port = 0)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}
