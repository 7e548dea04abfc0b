#pragma once
// The one export macro of the management-server stand-in's library. On
// Windows the DLL exports its classes while it is built (CMake defines
// mgmt_server_EXPORTS then) and its users import them.
#if defined(_WIN32)
#if defined(mgmt_server_EXPORTS)
#define MGMT_SERVER_API __declspec(dllexport)
#else
#define MGMT_SERVER_API __declspec(dllimport)
#endif
#else
#define MGMT_SERVER_API __attribute__((visibility("default")))
#endif
