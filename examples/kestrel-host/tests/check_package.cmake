# Installs the build into a fresh prefix, builds the example host on its own
# against it (find_package(Kestrel), the package's targets), and runs its demo.
foreach(var BUILD_DIR HOST_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_package.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}\n${err}")
  endif()
  message(STATUS "${what}: ok")
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
foreach(file include/kestrel/ptz_external.h include/kestrel-host/datahub/base_param.h lib/libkestrel.so
             lib/cmake/Kestrel/KestrelConfig.cmake lib/cmake/Kestrel/KestrelConfigVersion.cmake)
  if(NOT EXISTS ${WORK_DIR}/prefix/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

set(flags "")
if(SANITIZE)
  set(flags "-fsanitize=${SANITIZE} -fno-omit-frame-pointer")
endif()
run("configure kestrel-host against the package" ${CMAKE_COMMAND} -S ${HOST_DIR} -B ${WORK_DIR}/build -G Ninja
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix "-DCMAKE_CXX_FLAGS=${flags}" -DCMAKE_BUILD_TYPE=RelWithDebInfo)
run("build kestrel-host" ${CMAKE_COMMAND} --build ${WORK_DIR}/build --target kestrel-host)
run("run its demo" ${WORK_DIR}/build/kestrel-host demo)
if(NOT last_output MATCHES "demo: PASS" OR NOT last_output MATCHES "loaded ${WORK_DIR}/prefix/lib/libkestrel.so")
  message(FATAL_ERROR "unexpected output:\n${last_output}")
endif()
