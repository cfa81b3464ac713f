// Bounded reachability check of a database server: a TCP connection to the
// server's port, given up after the time limit. Never raises.
#pragma once

#include <string>

namespace platform {

// `server` is host[,port] (port 1433 when absent). Returns true when a
// connection was made within `timeoutMs`.
bool CheckServerReachable(const std::string& server, int timeoutMs = 10000);

}  // namespace platform
