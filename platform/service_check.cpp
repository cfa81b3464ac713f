// Non-blocking connect with poll(), so a dead host costs at most the limit.
#include "platform/service_check.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "core/text_util.h"

namespace platform {

namespace {

bool TryConnect(const addrinfo* ai, int timeoutMs) {
  int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
  if (fd < 0) return false;
  bool ok = false;
  int r = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
  if (r == 0) {
    ok = true;
  } else if (errno == EINPROGRESS) {
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, timeoutMs) == 1) {
      int err = 0;
      socklen_t len = sizeof err;
      ok = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace

bool CheckServerReachable(const std::string& server, int timeoutMs) {
  std::string host = core::Trim(server), port = "1433";
  if (size_t comma = host.find(','); comma != std::string::npos) {
    port = core::Trim(host.substr(comma + 1));
    host = core::Trim(host.substr(0, comma));
  }
  if (size_t slash = host.find('\\'); slash != std::string::npos) host.resize(slash);  // named instance
  if (host.empty() || host == "." || core::EqualsNoCase(host, "(local)")) host = "127.0.0.1";
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &list) != 0) return false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool ok = false;
  for (addrinfo* ai = list; ai && !ok; ai = ai->ai_next) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    ok = TryConnect(ai, static_cast<int>(left));
  }
  ::freeaddrinfo(list);
  return ok;
}

}  // namespace platform
