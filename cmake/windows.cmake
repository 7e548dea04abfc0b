# The Windows build (MinGW-w64 cross compiler, cmake/mingw-w64-x86_64.cmake):
# what find_package gives on Linux, made from Debian's packages here, and the
# way its programs run on this machine (Wine).
#
# - Boost: header-only. Only Boost's own header folder is offered to the
#   cross compiler (through a link), never the system include folder, whose
#   C library headers are Linux's. Boost.JSON and Boost.URL are compiled from
#   their src.hpp into one static library each.
# - CLI11: the same header-only library as on Linux.
# - GoogleTest: built from the sources of Debian's googletest package.
# - The MinGW runtime DLLs (libstdc++, libgcc, winpthread) are copied beside
#   the programs, so that every module shares one C++ runtime, as on Linux.
# - ctest runs every program through Wine (CMAKE_CROSSCOMPILING_EMULATOR),
#   with a Wine prefix of its own inside the build folder.
if(NOT MINGW)
  message(FATAL_ERROR "The Windows build is made with MinGW-w64: configure with "
                      "-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake")
endif()

set(KESTREL_SYSTEM_INCLUDE /usr/include CACHE PATH "Where Debian's Boost and CLI11 headers are")
set(KESTREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (package googletest)")

# Windows 10 APIs (Asio asks for a target version); windows.h must leave
# std::min and std::max alone.
add_compile_definitions(_WIN32_WINNT=0x0A00 NOMINMAX WIN32_LEAN_AND_MEAN)
# Debug information in the form Wine's debugger reads (it does not read
# DWARF 5, GCC's default): the stacks wine-run takes of a hung program then
# name our functions and lines.
add_compile_options(-gdwarf-4)
# DLLs carry no "lib" prefix on Windows: kestrel.dll, zrsdk.dll, ...
set(CMAKE_SHARED_LIBRARY_PREFIX "")
set(CMAKE_SHARED_MODULE_PREFIX "")

# --- third-party headers, through links --------------------------------------
set(_links ${CMAKE_BINARY_DIR}/third-party-include)
file(MAKE_DIRECTORY ${_links})
foreach(dir boost CLI)
  if(NOT EXISTS ${KESTREL_SYSTEM_INCLUDE}/${dir})
    message(FATAL_ERROR "${KESTREL_SYSTEM_INCLUDE}/${dir} is missing (./dev.sh test-windows installs it)")
  endif()
  file(CREATE_LINK ${KESTREL_SYSTEM_INCLUDE}/${dir} ${_links}/${dir} SYMBOLIC)
endforeach()

add_library(Boost::headers INTERFACE IMPORTED GLOBAL)
set_target_properties(Boost::headers PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_links})
# Asio's sockets.
target_link_libraries(Boost::headers INTERFACE ws2_32 mswsock)
add_library(Boost::system ALIAS Boost::headers)
add_library(Boost::thread ALIAS Boost::headers)

# Compiled parts of Boost, from their single-file sources. They are linked
# statically into each module that uses them and stay private to it.
function(kestrel_boost_source_library name header)
  set(src ${CMAKE_BINARY_DIR}/generated/boost_${name}_src.cpp)
  file(WRITE ${src}.in "// Boost.${name}'s compiled part, built header-only.\n#include <${header}>\n")
  configure_file(${src}.in ${src} COPYONLY)
  add_library(kestrel_boost_${name} STATIC ${src})
  target_link_libraries(kestrel_boost_${name} PUBLIC Boost::headers)
  add_library(Boost::${name} ALIAS kestrel_boost_${name})
endfunction()
kestrel_boost_source_library(json boost/json/src.hpp)
kestrel_boost_source_library(url boost/url/src.hpp)

add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_links})

# --- the C++ runtime beside the programs -------------------------------------
set(KESTREL_MINGW_RUNTIME)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${_path}" OR NOT EXISTS "${_path}")
    message(FATAL_ERROR "The MinGW runtime ${dll} was not found (${CMAKE_CXX_COMPILER} -print-file-name)")
  endif()
  get_filename_component(_path ${_path} REALPATH)
  list(APPEND KESTREL_MINGW_RUNTIME ${_path})
endforeach()
file(COPY ${KESTREL_MINGW_RUNTIME} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})

# --- Wine --------------------------------------------------------------------
find_program(KESTREL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KESTREL_WINE NAMES wine64 wine)
find_program(KESTREL_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KESTREL_WINESERVER NAMES wineserver64 wineserver)
if(KESTREL_WINE)
  set(KESTREL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
else()
  message(WARNING "Wine was not found: the Windows programs build, but the tests cannot run here")
endif()

# --- GoogleTest --------------------------------------------------------------
if(KESTREL_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  # It names its targets GTest::gtest, GTest::gtest_main, GTest::gmock, as
  # find_package(GTest) does.
  add_subdirectory(${KESTREL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
