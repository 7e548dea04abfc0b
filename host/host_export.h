#pragma once
// Symbols of the host's framework libraries and of the platform SDK, one
// macro per library. On Windows each DLL exports its own symbols while it is
// built (CMake defines <target>_EXPORTS then) and every other module imports
// them; on Linux exporting and importing are the same attribute.
#if defined(_WIN32)
#define HOST_SYMBOL_EXPORT __declspec(dllexport)
#define HOST_SYMBOL_IMPORT __declspec(dllimport)
#else
#define HOST_SYMBOL_EXPORT __attribute__((visibility("default")))
#define HOST_SYMBOL_IMPORT __attribute__((visibility("default")))
#endif

#if defined(hostfw_vkl_EXPORTS)
#define VKL_API HOST_SYMBOL_EXPORT
#else
#define VKL_API HOST_SYMBOL_IMPORT
#endif

#if defined(hostfw_taskhub_EXPORTS)
#define TASKHUB_API HOST_SYMBOL_EXPORT
#else
#define TASKHUB_API HOST_SYMBOL_IMPORT
#endif

#if defined(hostfw_datahub_EXPORTS)
#define DATAHUB_API HOST_SYMBOL_EXPORT
#else
#define DATAHUB_API HOST_SYMBOL_IMPORT
#endif

#if defined(hostfw_datahub_rest_EXPORTS)
#define DATAHUB_REST_API HOST_SYMBOL_EXPORT
#else
#define DATAHUB_REST_API HOST_SYMBOL_IMPORT
#endif

#if defined(hostfw_accountlogic_EXPORTS)
#define ACCOUNTLOGIC_API HOST_SYMBOL_EXPORT
#else
#define ACCOUNTLOGIC_API HOST_SYMBOL_IMPORT
#endif

#if defined(hostfw_resourcetree_EXPORTS)
#define RESOURCETREE_API HOST_SYMBOL_EXPORT
#else
#define RESOURCETREE_API HOST_SYMBOL_IMPORT
#endif

#if defined(hostfw_environment_EXPORTS)
#define HOSTFW_ENVIRONMENT_API HOST_SYMBOL_EXPORT
#else
#define HOSTFW_ENVIRONMENT_API HOST_SYMBOL_IMPORT
#endif

#if defined(zrsdk_EXPORTS)
#define ZRSDK_API HOST_SYMBOL_EXPORT
#else
#define ZRSDK_API HOST_SYMBOL_IMPORT
#endif

// printf-style checking of a format that the host formats with the C
// library's printf family. MinGW's C++ library formats the C99 way
// (%zu, %lld) while GCC's plain "printf" there means Microsoft's older rules.
#if defined(__MINGW32__)
#define HOST_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(gnu_printf, formatIndex, firstArg)))
#elif defined(__GNUC__)
#define HOST_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
#else
#define HOST_PRINTF_FORMAT(formatIndex, firstArg)
#endif
