#pragma once

namespace Kestrel {

class ITimerListener {
public:
    virtual ~ITimerListener() = default;
    virtual void OnTimer(unsigned int timerId) = 0;
};

}  // namespace Kestrel
