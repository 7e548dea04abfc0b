// The main of every test program: GoogleTest's own, then what a client does
// last before it exits. Every thread the host framework and the SDK own is
// stopped and joined while main still runs: on Windows the statics of a DLL
// are destroyed only after the system has ended every other thread, wherever
// it was (inside a lock of the C runtime or of the thread library included),
// so a thread that outlives main can leave the process stuck in its exit.
#include <gmock/gmock.h>

#include "hostfw/environment.h"

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    const int status = RUN_ALL_TESTS();
    hostfw::StopHostThreads();
    return status;
}
