#pragma once
#include "face/face_function.h"
#include "tasks/function_delegate.h"

namespace Kestrel {

class CFaceFunctionDelegate : public CFunctionDelegate<CFaceFunction> {
public:
    using CFunctionDelegate::CFunctionDelegate;
    void OnFaceInfoNotify(void* data, unsigned int size) { m_spWorker->OnFaceInfoNotify(data, size); }
};

}  // namespace Kestrel
