#pragma once
// The face worker: decodes face events of the server and hands them to the
// face observers. It has no requests of its own.
#include <cstdint>

#include "kestrel/notify_records.h"
#include "tasks/task_worker.h"

namespace Datahub { class CInterfaceSetManager; }

namespace Kestrel {

class CFaceFunction : public CTaskWorker<CFaceFunction> {
public:
    virtual ~CFaceFunction();

    bool Init(Datahub::CInterfaceSetManager* set);
    void UnInit();

    // Login event 52. The payload is a 1372-byte header followed by 1576-byte
    // item records; its size must be 2948 + k * 1576 (room for at least one
    // item) or the event is dropped. Items are read only as far as the
    // payload holds records: a header count larger than that yields the
    // records present, a smaller one only the first count records.
    void OnFaceInfoNotify(const void* data, unsigned int size);

    // Decodes a payload that passed the size check.
    static FaceInfoNotify Decode(const void* data, unsigned int size);
    static int64_t ParseTime(const char* text);

private:
    static void HandleFaceInfoNotify(WeakPtr weak, const FaceInfoNotify& info);
};

}  // namespace Kestrel
