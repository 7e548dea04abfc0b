#include "datahub/observer.h"

namespace Datahub {

IObserver::~IObserver() = default;

}  // namespace Datahub
