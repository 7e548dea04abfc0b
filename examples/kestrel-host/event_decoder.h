#pragma once
// Turns a parameter object handed to an observer into an EventRecord: the
// enumerator name, the result and the fields that the event type fills.
#include <memory>

#include "event_record.h"

namespace Datahub { class BaseParam; }

namespace kestrel_host {

// The façade tells how to read the object (its Business must match; an
// object of another Business keeps only the base values). Never keeps the
// object.
EventRecord DecodeEvent(Facade facade, const std::shared_ptr<Datahub::BaseParam>& param, ThreadKind thread);

}  // namespace kestrel_host
