#include "ptz/ptz_delegate.h"

namespace Kestrel {

// Plain positioning: the extended fields stay at their defaults, so the
// platform's plain positioning call is used; no menu key.
int CPtzDelegate::PtzSite(std::string code, double x, double y, double z, int value) {
    PtzSiteParam param;
    param.code = code;
    param.x = x;
    param.y = y;
    param.z = z;
    param.value = value;
    return m_spWorker->PtzSite(param, std::string());
}

int CPtzDelegate::PtzSiteEx(PtzSiteParam& param, const std::string& menuKey) {
    const int seq = m_spWorker->PtzSite(param, menuKey);
    param.seq = seq;
    return seq;
}

}  // namespace Kestrel
