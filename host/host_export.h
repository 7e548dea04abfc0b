#pragma once
// Symbols of the host's framework libraries and of the platform SDK. On Linux
// exporting and importing are the same attribute.
#define HOST_API __attribute__((visibility("default")))
