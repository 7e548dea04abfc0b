#pragma once
// The PTZ motion policy: how Kestrel treats the moves of a client that drives
// cameras the way a joystick does. Every part is off by default; with the
// whole policy off every request goes to the platform as it was made.

namespace Kestrel {

// Result code of a direction or lens request that was not sent: superseded
// by a newer request of the same channel before it was sent. It is none of
// 0, -1 (refused here), -501 (lock refused) nor a platform or REST code.
constexpr int PTZ_RESULT_SUPERSEDED = -601;

// How long UnInit waits, by default, for the stops of the channels still
// moving to reach the platform.
constexpr int PTZ_DEFAULT_LEAVING_WAIT_MS = 2000;

struct PtzMotionPolicy {
    // Superseding. A direction or lens request of a channel that has not yet
    // been sent when a newer direction or lens request of the same channel
    // is made is not sent; its observers get its result with
    // PTZ_RESULT_SUPERSEDED. The newest request always goes, so a stop is
    // dropped only for a newer move or stop of the channel. Nothing else is
    // superseded and nothing is reordered. Use it when the client repeats a
    // move while a button or joystick is held: the stop then waits for at
    // most the platform call in flight instead of the whole backlog.
    bool supersede = false;

    // Dead-man stop, in milliseconds (0 or less: off). A direction or lens
    // start of a channel that no newer direction or lens request of that
    // channel follows within this time gets its stop sent by Kestrel (the
    // same operation, speed and menu key, stop set), reported as
    // CPtzParam::PTZ_EVENT_AUTO_STOP with the stop's result. A positioning
    // or a preset goto ends the wait too. Checked on the host's timer
    // manager every min(this time, 100 ms) (10 ms at least): the stop never
    // comes before this time and at most one such tick after it (a start
    // made on a still channel is timed from the moment it was made; a
    // renewal from the next tick). Use it when a lost release must not
    // turn a camera to its end stop; a client that holds a move longer than
    // this must repeat it.
    int deadManMs = 0;

    // Stop on leaving. UnInit sends the stop of every channel whose last
    // direction or lens request sent to the platform was a move, and returns
    // once those stops have reached the platform or leavingWaitMs has
    // passed (0 or less: it does not wait). Requests of those kinds still
    // queued then are not sent (PTZ_RESULT_SUPERSEDED). The stops' own
    // results are not reported: the client is going.
    bool stopOnLeaving = false;
    int leavingWaitMs = PTZ_DEFAULT_LEAVING_WAIT_MS;
};

}  // namespace Kestrel
