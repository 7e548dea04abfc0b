#pragma once
#include <string>

#include "datahub/base_param.h"
#include "kestrel/kestrel_export.h"
#include "kestrel/notify_records.h"

namespace Kestrel {

class CFaceFunctionParamPrivate;

// A face event pushed by the server (Business 4).
class KESTREL_API CFaceFunctionParam : public Datahub::BaseParam {
public:
    enum EventType {
        FACE_EVENT_FACE_INFO = 0,
    };

    CFaceFunctionParam(EventType type, int result);
    CFaceFunctionParam(const CFaceFunctionParam& other);
    CFaceFunctionParam& operator=(const CFaceFunctionParam& other);
    ~CFaceFunctionParam() override;

    std::string GetDeviceCode();
    void SetDeviceCode(const std::string& code);
    FaceInfoNotify GetFaceInfoNotify();
    void SetFaceInfoNotify(const FaceInfoNotify& info);

private:
    CFaceFunctionParamPrivate* d_func();
    const CFaceFunctionParamPrivate* d_func() const;
};

}  // namespace Kestrel
