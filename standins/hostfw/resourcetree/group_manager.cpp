#include "resourcetree/group_manager.h"

// The resource-tree interface keeps its vtable and type information here.
namespace ResourceTree {

CGroupManagerExternal::~CGroupManagerExternal() = default;

}  // namespace ResourceTree
