#pragma once
// The one export macro of libkestrel.so: the plug-in entry and the classes a
// client uses carry it; everything else stays hidden inside the module.
#define KESTREL_API __attribute__((visibility("default")))
