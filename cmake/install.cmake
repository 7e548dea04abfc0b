# `cmake --install`: the public headers, libkestrel.so and a CMake package
# configuration, so that a client project can
#
#   find_package(Kestrel REQUIRED)
#   target_link_libraries(client PRIVATE Kestrel::kestrel)
#
# Kestrel::kestrel brings the public headers (include/kestrel), the headers of
# what Kestrel calls in its host (include/kestrel-host) and the host
# framework and platform SDK libraries the module is linked against. Here
# those are the stand-ins, installed beside it (Kestrel::hostfw_*,
# Kestrel::zrsdk); a client that brings its own host framework and platform
# SDK puts its libraries in their place.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

if(NOT TARGET kestrel)
  return()
endif()

set(KESTREL_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrel)

# What the module's link interface names, and the rest of the stand-ins a host
# in a box needs; each is installed and exported.
set(_kestrel_runtime_libs
  hostfw_vkl hostfw_taskhub hostfw_datahub hostfw_datahub_rest hostfw_accountlogic
  hostfw_resourcetree hostfw_environment zrsdk)
set(_kestrel_libs kestrel)
foreach(lib ${_kestrel_runtime_libs})
  if(TARGET ${lib})
    list(APPEND _kestrel_libs ${lib})
    # Installed, the stand-ins' headers sit in the package's include folder.
    target_include_directories(${lib} INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  endif()
endforeach()

# Installed libraries find each other in their own folder.
set_target_properties(${_kestrel_libs} PROPERTIES INSTALL_RPATH "$ORIGIN")

# The management server stand-in, for hosts that run one in-process.
if(TARGET mgmt_server)
  set_property(TARGET mgmt_server PROPERTY INTERFACE_INCLUDE_DIRECTORIES
    $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/standins/mgmt_server/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  list(APPEND _kestrel_libs mgmt_server)
  set_target_properties(mgmt_server PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()

install(TARGETS ${_kestrel_libs} kestrel_host_api EXPORT KestrelTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

if(WIN32)
  # DLLs are found beside the program: every DLL, with the C++ runtime they
  # share, goes into bin/ (the RUNTIME destination above).
  install(FILES ${KESTREL_MINGW_RUNTIME} DESTINATION ${CMAKE_INSTALL_BINDIR})
else()
  # The build tree's run path ends in an empty entry, which keeps CMake's own
  # rewrite from matching it: set the installed one outright.
  foreach(lib ${_kestrel_libs})
    install(CODE "file(RPATH_SET FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:${lib}>\" NEW_RPATH \"\$ORIGIN\")")
  endforeach()
endif()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/kestrel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/host/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrel-host
  FILES_MATCHING PATTERN "*.h")
# The stand-ins' control headers: a host in a box, the platform's control side.
foreach(dir standins/hostfw/include standins/hostfw/datahub_rest/include standins/zrsdk/include
            standins/mgmt_server/include)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir})
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
      FILES_MATCHING PATTERN "*.h")
  endif()
endforeach()

install(EXPORT KestrelTargets NAMESPACE Kestrel:: DESTINATION ${KESTREL_CONFIG_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/KestrelConfig.cmake.in
  ${CMAKE_BINARY_DIR}/generated/KestrelConfig.cmake
  INSTALL_DESTINATION ${KESTREL_CONFIG_DIR} PATH_VARS CMAKE_INSTALL_LIBDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/generated/KestrelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/generated/KestrelConfig.cmake
  ${CMAKE_BINARY_DIR}/generated/KestrelConfigVersion.cmake
  DESTINATION ${KESTREL_CONFIG_DIR})
