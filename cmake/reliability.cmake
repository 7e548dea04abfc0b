# Reliability: the fault and bad-input tests and the soak, which run with the
# suite, and the libFuzzer harnesses, which have a build of their own.
#
#   tests/faults/  kestrel_fault_tests (ctest label "faults")
#   tests/soak/    kestrel_soak_tests  (ctest label "soak"); it runs for
#                  KESTREL_SOAK_SECONDS seconds (5 when unset)
#   fuzz/          kestrel_fuzz_<harness>, with KESTREL_BUILD_FUZZ=ON only
option(KESTREL_BUILD_FUZZ
  "Build the libFuzzer harnesses (clang++, with KESTREL_SANITIZE=fuzzer-no-link,address,undefined)" OFF)

if(KESTREL_BUILD_TESTS AND TARGET kestrel_test_support)
  file(GLOB _fault_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/faults/*.cpp)
  if(_fault_tests)
    add_executable(kestrel_fault_tests ${_fault_tests})
    target_link_libraries(kestrel_fault_tests PRIVATE kestrel_core kestrel_test_support
      kestrel_test_main GTest::gtest Threads::Threads)
    gtest_discover_tests(kestrel_fault_tests DISCOVERY_TIMEOUT 120
      PROPERTIES TIMEOUT 300 LABELS faults ENVIRONMENT "TZ=${KESTREL_TEST_TZ}")
  endif()

  file(GLOB _soak_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/soak/*.cpp)
  if(_soak_sources)
    add_executable(kestrel_soak_tests ${_soak_sources})
    target_link_libraries(kestrel_soak_tests PRIVATE kestrel_core kestrel_test_support
      kestrel_test_main GTest::gtest Threads::Threads)
    # The soak's own bound is its run time; the time-out leaves room for a
    # slow sanitizer build to drain and shut down.
    gtest_discover_tests(kestrel_soak_tests DISCOVERY_TIMEOUT 120
      PROPERTIES TIMEOUT 900 LABELS soak ENVIRONMENT "TZ=${KESTREL_TEST_TZ}")
  endif()
endif()

if(KESTREL_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz harnesses need clang++ (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  if(NOT KESTREL_SANITIZE MATCHES "fuzzer-no-link")
    message(FATAL_ERROR "Configure the fuzz build with -DKESTREL_SANITIZE=fuzzer-no-link,address,undefined")
  endif()

  # Clang links the sanitizer runtimes and libFuzzer into executables only:
  # the shared libraries take those symbols from the harness when they are
  # loaded, so here they may leave them undefined at link time.
  function(kestrel_fuzz_allow_undefined dir)
    get_property(_targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(_target ${_targets})
      get_target_property(_type ${_target} TYPE)
      if(_type STREQUAL "SHARED_LIBRARY" OR _type STREQUAL "MODULE_LIBRARY")
        target_link_options(${_target} PRIVATE -Wl,-z,undefs)
      endif()
    endforeach()
    get_property(_subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(_subdir ${_subdirs})
      kestrel_fuzz_allow_undefined(${_subdir})
    endforeach()
  endfunction()
  kestrel_fuzz_allow_undefined(${CMAKE_SOURCE_DIR})

  add_library(kestrel_fuzz_host STATIC ${CMAKE_SOURCE_DIR}/fuzz/fuzz_host.cpp)
  target_include_directories(kestrel_fuzz_host PUBLIC ${CMAKE_SOURCE_DIR}/fuzz)
  target_link_libraries(kestrel_fuzz_host PUBLIC kestrel_core hostfw_environment zrsdk)

  foreach(harness login_event traffic_decode face_decode rest_answer)
    add_executable(kestrel_fuzz_${harness} ${CMAKE_SOURCE_DIR}/fuzz/${harness}_fuzzer.cpp)
    target_link_libraries(kestrel_fuzz_${harness} PRIVATE kestrel_fuzz_host)
    target_link_options(kestrel_fuzz_${harness} PRIVATE -fsanitize=fuzzer)
  endforeach()

  add_executable(kestrel_fuzz_seeds ${CMAKE_SOURCE_DIR}/fuzz/seed_corpus.cpp)
  target_link_libraries(kestrel_fuzz_seeds PRIVATE kestrel_host_api)
endif()
