# libkestrel.so: the plug-in. Its sources live in the subsystem folders;
# *_test.cpp files beside them form one test binary per folder.
set(KESTREL_DIRS plugin tasks device ptz face rest)

set(KESTREL_SOURCES)
foreach(dir ${KESTREL_DIRS})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  list(FILTER _src EXCLUDE REGEX "_test\\.cpp$")
  list(APPEND KESTREL_SOURCES ${_src})
endforeach()

if(NOT KESTREL_SOURCES)
  return()
endif()

# Static core: the plug-in module links it whole; unit tests link it directly
# so that they can reach the internal classes that the module keeps hidden.
add_library(kestrel_core STATIC ${KESTREL_SOURCES})
target_include_directories(kestrel_core PUBLIC
  ${CMAKE_SOURCE_DIR}/include ${CMAKE_SOURCE_DIR})
target_compile_definitions(kestrel_core PUBLIC KESTREL_BUILDING)
# Debug information describes every class the module uses, the host's
# interfaces and parameter base included (GCC otherwise leaves a class with a
# virtual key function to the library that defines that function): the
# binary-interface check reads the layouts and virtual tables from it.
target_compile_options(kestrel_core PRIVATE $<$<CXX_COMPILER_ID:GNU>:-femit-class-debug-always>)
target_link_libraries(kestrel_core PUBLIC kestrel_host_api Boost::thread
  hostfw_taskhub hostfw_datahub hostfw_datahub_rest hostfw_accountlogic hostfw_resourcetree hostfw_vkl zrsdk)

# The module has no sources of its own: it is the whole core, linked so that
# only the exported symbols stay visible.
set(_module_src ${CMAKE_BINARY_DIR}/generated/kestrel_module.cpp)
if(NOT EXISTS ${_module_src})
  file(WRITE ${_module_src} "// libkestrel.so is kestrel_core, linked whole.\n")
endif()
add_library(kestrel SHARED ${_module_src})
target_link_libraries(kestrel PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,kestrel_core>")
target_link_libraries(kestrel PUBLIC kestrel_host_api
  hostfw_taskhub hostfw_datahub hostfw_datahub_rest hostfw_accountlogic hostfw_resourcetree hostfw_vkl zrsdk)
target_include_directories(kestrel PUBLIC
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include> $<INSTALL_INTERFACE:include>)
if(WIN32)
  # A DLL exports exactly what carries __declspec(dllexport): the entry and
  # KESTREL_API's classes.
  target_link_options(kestrel PRIVATE -Wl,--no-undefined)
else()
  target_link_options(kestrel PRIVATE -Wl,--no-undefined -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/kestrel.map)
  set_target_properties(kestrel PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/kestrel.map)
endif()

if(KESTREL_BUILD_TESTS)
  # What every Kestrel test stands on: a host in a box and recording observers.
  file(GLOB _support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  add_library(kestrel_test_support STATIC ${_support})
  target_include_directories(kestrel_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(kestrel_test_support PUBLIC kestrel_core hostfw_environment mgmt_server GTest::gtest)
endif()

foreach(dir ${KESTREL_DIRS})
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*_test.cpp)
  if(_tests)
    kestrel_test(kestrel_${dir}_tests SOURCES ${_tests} ${KESTREL_TEST_SUPPORT}
      LIBS kestrel_core kestrel_test_support)
  endif()
endforeach()

# The module as a host loads it, and what it exports.
if(KESTREL_BUILD_TESTS)
  kestrel_test(kestrel_module_tests SOURCES ${CMAKE_SOURCE_DIR}/tests/module/module_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/recording_observer.cpp
    LIBS kestrel hostfw_environment hostfw_taskhub zrsdk Boost::headers ${CMAKE_DL_LIBS})
  target_include_directories(kestrel_module_tests PRIVATE ${CMAKE_SOURCE_DIR}/include ${CMAKE_SOURCE_DIR}/tests/support)
  add_dependencies(kestrel_module_tests kestrel)
  add_test(NAME kestrel_exports COMMAND ${CMAKE_SOURCE_DIR}/tests/module/check_exports.sh $<TARGET_FILE:kestrel>
    ${CMAKE_OBJDUMP})
endif()
