// The pass-through's system calls on Windows: Winsock, fiber-local storage.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <array>
#include <climits>
#include <stdexcept>

#include "os.h"

namespace Datahub {
namespace detail {
namespace os {

namespace {

error_code LastError() { return error_code(::WSAGetLastError(), boost::system::system_category()); }

// Winsock works only once started in the process; the pass-through may be
// the first to need it.
bool WinsockStarted() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

// Handles keep their meaning when sign-extended from 32 bits.
SOCKET Native(int socket) { return static_cast<SOCKET>(static_cast<INT_PTR>(socket)); }

template <class Buffer>
DWORD ToWsaBufs(const Buffer* buffers, std::size_t count, std::array<WSABUF, kMaxBuffers>& bufs) {
    const std::size_t n = std::min(count, kMaxBuffers);
    for (std::size_t i = 0; i < n; ++i) {
        bufs[i].buf = static_cast<char*>(const_cast<void*>(static_cast<const void*>(buffers[i].data())));
        bufs[i].len = static_cast<ULONG>(std::min<std::size_t>(buffers[i].size(), ULONG_MAX));
    }
    return static_cast<DWORD>(n);
}

}  // namespace

// select() rather than WSAPoll: only select reports a refused connection
// (in the exception set) on every Windows version.
int Wait(int socket, Ready ready, std::chrono::milliseconds timeout, error_code& ec) {
    const SOCKET s = Native(socket);
    fd_set wanted, failed;
    FD_ZERO(&wanted);
    FD_ZERO(&failed);
    FD_SET(s, &wanted);
    FD_SET(s, &failed);
    const long long ms = std::min<long long>(timeout.count(), INT_MAX);
    timeval limit{static_cast<long>(ms / 1000), static_cast<long>((ms % 1000) * 1000)};
    const int n = ::select(0, ready == Ready::Read ? &wanted : nullptr, ready == Ready::Write ? &wanted : nullptr,
                           &failed, &limit);
    if (n > 0) return 1;
    if (n == 0) return 0;
    ec = LastError();
    return -1;
}

long ReadSome(int socket, const boost::asio::mutable_buffer* buffers, std::size_t count, error_code& ec) {
    std::array<WSABUF, kMaxBuffers> bufs;
    DWORD received = 0, flags = 0;
    if (::WSARecv(Native(socket), bufs.data(), ToWsaBufs(buffers, count, bufs), &received, &flags, nullptr,
                  nullptr) != 0) {
        ec = LastError();
        return -1;
    }
    ec = {};
    return static_cast<long>(received);
}

long WriteSome(int socket, const boost::asio::const_buffer* buffers, std::size_t count, error_code& ec) {
    std::array<WSABUF, kMaxBuffers> bufs;
    DWORD sent = 0;
    if (::WSASend(Native(socket), bufs.data(), ToWsaBufs(buffers, count, bufs), &sent, 0, nullptr, nullptr) != 0) {
        ec = LastError();
        return -1;
    }
    ec = {};
    return static_cast<long>(sent);
}

int StartConnect(const void* address, std::size_t size, bool& pending, error_code& ec) {
    const sockaddr* to = static_cast<const sockaddr*>(address);
    pending = false;
    if (!WinsockStarted()) {
        ec = LastError();
        return -1;
    }
    // Not inheritable: a child process must not keep the connection open.
    const SOCKET s = ::WSASocketW(to->sa_family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
        ec = LastError();
        return -1;
    }
    u_long nonBlocking = 1;
    if (::ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        ec = LastError();
        ::closesocket(s);
        return -1;
    }
    if (::connect(s, to, static_cast<int>(size)) != 0) {
        if (::WSAGetLastError() != WSAEWOULDBLOCK) {
            ec = LastError();
            ::closesocket(s);
            return -1;
        }
        pending = true;
    }
    ec = {};
    return static_cast<int>(s);
}

bool ConnectResult(int socket, error_code& ec) {
    int error = 0;
    int size = sizeof error;
    if (::getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0) {
        ec = LastError();
        return false;
    }
    ec = error_code(error, boost::system::system_category());
    return error == 0;
}

bool NothingToRead(int socket) {
    char byte;
    // The socket is non-blocking: an empty connection answers "would block".
    const int n = ::recv(Native(socket), &byte, 1, MSG_PEEK);
    return n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK;
}

void Close(int socket) { ::closesocket(Native(socket)); }

namespace {

// What a fiber-local slot holds: the object and how it goes.
struct Held {
    void* object;
    ThreadSlot::Destroy destroy;
};

// Called when a thread that has an object in the slot ends.
VOID WINAPI DestroyHeld(PVOID value) {
    Held* held = static_cast<Held*>(value);
    held->destroy(held->object);
    delete held;
}

}  // namespace

ThreadSlot::ThreadSlot(Make make, Destroy destroy) : m_make(make), m_destroy(destroy), m_index(::FlsAlloc(DestroyHeld)) {
    if (m_index == FLS_OUT_OF_INDEXES) throw std::runtime_error("no fiber-local slot left");
}

void* ThreadSlot::Get() const {
    if (Held* held = static_cast<Held*>(::FlsGetValue(m_index))) return held->object;
    Held* held = new Held{m_make(), m_destroy};
    ::FlsSetValue(m_index, held);
    return held->object;
}

}  // namespace os
}  // namespace detail
}  // namespace Datahub
