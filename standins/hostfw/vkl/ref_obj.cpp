#include "vkl/ref_obj.h"

namespace vkl {

DRefObj::DRefObj() : m_refs(0) {}

DRefObj::~DRefObj() = default;

long DRefObj::AddRef() { return m_refs.fetch_add(1, std::memory_order_relaxed) + 1; }

long DRefObj::DecRef() {
    const long left = m_refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

long DRefObj::RefCount() const { return m_refs.load(std::memory_order_acquire); }

}  // namespace vkl
