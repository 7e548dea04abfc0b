#pragma once
// What the pass-through needs of the operating system where the systems
// differ, behind one small interface. One platform file each: os_posix.cpp
// (BSD sockets, C++ thread_local objects) and os_windows.cpp (Winsock,
// fiber-local storage).
//
// A socket is an int here: a Winsock SOCKET is a kernel handle, whose value
// fits in 32 bits; -1 is none.
#include <chrono>
#include <cstddef>

#include <boost/asio/buffer.hpp>
#include <boost/system/error_code.hpp>

namespace Datahub {
namespace detail {
namespace os {

using boost::system::error_code;

// At most this many buffers go into one read or write.
constexpr std::size_t kMaxBuffers = 16;

enum class Ready { Read, Write };

// Waits at most `timeout` for the socket to be ready. 1: ready, or failed or
// hung up (the next call tells); 0: not within the time-out (or interrupted);
// -1: the wait failed (ec).
int Wait(int socket, Ready ready, std::chrono::milliseconds timeout, error_code& ec);

// One scatter read or gather write of the first kMaxBuffers buffers: the
// bytes moved (0 from a read: the peer closed), or -1 with ec, which is
// boost::asio::error::would_block when the socket is not ready. Writing to a
// closed connection fails with an error, never with a signal.
long ReadSome(int socket, const boost::asio::mutable_buffer* buffers, std::size_t count, error_code& ec);
long WriteSome(int socket, const boost::asio::const_buffer* buffers, std::size_t count, error_code& ec);

// A new non-blocking TCP socket (not inherited by child processes) that
// starts connecting to the address (a sockaddr of `size` bytes), or -1 with
// ec. `pending`: the connection is not made yet; Wait for Ready::Write, then
// ask ConnectResult.
int StartConnect(const void* address, std::size_t size, bool& pending, error_code& ec);
bool ConnectResult(int socket, error_code& ec);

// True when an idle connection has nothing to read: no end of stream from
// the peer, no stray bytes.
bool NothingToRead(int socket);

void Close(int socket);

// One object per thread, made on the thread's first Get and destroyed when
// the thread ends. (MinGW's C++ thread_local objects are destroyed after
// their storage has been freed, hence this.) A slot lives as long as the
// process.
class ThreadSlot {
public:
    using Make = void* (*)();
    using Destroy = void (*)(void*);
    ThreadSlot(Make make, Destroy destroy);
    // The calling thread's object.
    void* Get() const;

    ThreadSlot(const ThreadSlot&) = delete;
    ThreadSlot& operator=(const ThreadSlot&) = delete;

private:
    Make m_make;
    Destroy m_destroy;
    [[maybe_unused]] unsigned long m_index = 0;  // the system's slot, where it has one (Windows)
};

// The calling thread's T.
template <class T>
T& ThisThreads() {
    static const ThreadSlot slot([]() -> void* { return new T(); }, [](void* p) { delete static_cast<T*>(p); });
    return *static_cast<T*>(slot.Get());
}

}  // namespace os
}  // namespace detail
}  // namespace Datahub
