// The pass-through's system calls on POSIX systems: BSD sockets, C++
// thread_local objects.
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <utility>
#include <vector>

#include "os.h"

namespace Datahub {
namespace detail {
namespace os {

namespace {

error_code LastError() { return error_code(errno, boost::system::system_category()); }

template <class Buffer>
int ToIovecs(const Buffer* buffers, std::size_t count, std::array<iovec, kMaxBuffers>& iov) {
    const std::size_t n = std::min(count, kMaxBuffers);
    for (std::size_t i = 0; i < n; ++i)
        iov[i] = iovec{const_cast<void*>(static_cast<const void*>(buffers[i].data())), buffers[i].size()};
    return static_cast<int>(n);
}

template <class Call>
long Transfer(error_code& ec, Call call) {
    for (;;) {
        const ssize_t n = call();
        if (n >= 0) {
            ec = {};
            return static_cast<long>(n);
        }
        if (errno != EINTR) {
            ec = LastError();
            return -1;
        }
    }
}

}  // namespace

int Wait(int socket, Ready ready, std::chrono::milliseconds timeout, error_code& ec) {
    pollfd p{socket, static_cast<short>(ready == Ready::Read ? POLLIN : POLLOUT), 0};
    const int n = ::poll(&p, 1, static_cast<int>(std::min<long long>(timeout.count(), INT_MAX)));
    if (n > 0) return 1;
    if (n == 0 || errno == EINTR) return 0;
    ec = LastError();
    return -1;
}

long ReadSome(int socket, const boost::asio::mutable_buffer* buffers, std::size_t count, error_code& ec) {
    std::array<iovec, kMaxBuffers> iov;
    const int n = ToIovecs(buffers, count, iov);
    return Transfer(ec, [&] { return ::readv(socket, iov.data(), n); });
}

long WriteSome(int socket, const boost::asio::const_buffer* buffers, std::size_t count, error_code& ec) {
    std::array<iovec, kMaxBuffers> iov;
    msghdr message{};
    message.msg_iov = iov.data();
    message.msg_iovlen = static_cast<std::size_t>(ToIovecs(buffers, count, iov));
    return Transfer(ec, [&] { return ::sendmsg(socket, &message, MSG_NOSIGNAL); });
}

int StartConnect(const void* address, std::size_t size, bool& pending, error_code& ec) {
    const sockaddr* to = static_cast<const sockaddr*>(address);
    pending = false;
    const int socket = ::socket(to->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        ec = LastError();
        return -1;
    }
    if (::connect(socket, to, static_cast<socklen_t>(size)) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            ec = LastError();
            ::close(socket);
            return -1;
        }
        pending = true;
    }
    ec = {};
    return socket;
}

bool ConnectResult(int socket, error_code& ec) {
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        ec = LastError();
        return false;
    }
    ec = error_code(error, boost::system::system_category());
    return error == 0;
}

bool NothingToRead(int socket) {
    char byte;
    const ssize_t n = ::recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

void Close(int socket) { ::close(socket); }

namespace {

// This thread's objects, destroyed in the reverse order of their making.
struct ThreadObjects {
    struct Made {
        const ThreadSlot* slot;
        void* object;
        ThreadSlot::Destroy destroy;
    };
    std::vector<Made> made;
    ~ThreadObjects() {
        for (auto it = made.rbegin(); it != made.rend(); ++it) it->destroy(it->object);
    }
};

thread_local ThreadObjects t_objects;

}  // namespace

ThreadSlot::ThreadSlot(Make make, Destroy destroy) : m_make(make), m_destroy(destroy) {}

void* ThreadSlot::Get() const {
    for (const ThreadObjects::Made& m : t_objects.made)
        if (m.slot == this) return m.object;
    void* object = m_make();
    t_objects.made.push_back({this, object, m_destroy});
    return object;
}

}  // namespace os
}  // namespace detail
}  // namespace Datahub
