#pragma once
#include <map>
#include <string>

namespace hostfw {

// One entry of the user's menu table: what operator records and audit
// headers carry for a menu key.
struct MenuEntry {
    std::string code;
    std::string name;
};

// Menu key -> code and name.
using MenuTable = std::map<std::string, MenuEntry>;

}  // namespace hostfw
