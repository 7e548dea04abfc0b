#pragma once
// The one export macro of the Kestrel module: the plug-in entry and the
// classes a client uses carry it; everything else stays hidden inside the
// module. On Windows the module exports them while it is built
// (KESTREL_BUILDING) and its users import them from kestrel.dll.
#if defined(_WIN32)
#if defined(KESTREL_BUILDING)
#define KESTREL_API __declspec(dllexport)
#else
#define KESTREL_API __declspec(dllimport)
#endif
#else
#define KESTREL_API __attribute__((visibility("default")))
#endif
