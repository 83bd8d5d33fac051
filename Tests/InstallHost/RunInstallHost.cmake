# Installs the built libraries into a scratch prefix, then configures, builds
# and runs a tiny host project that finds them with find_package().
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${WORK_DIR}/prefix
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -G Ninja -S ${SOURCE_DIR}/Tests/InstallHost/host
    -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
    "-DCMAKE_CXX_FLAGS=${HOST_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${HOST_FLAGS}"
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "host configure failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "host build failed: ${rc}")
endif()
execute_process(COMMAND ${WORK_DIR}/build/qxhost RESULT_VARIABLE rc OUTPUT_VARIABLE out)
message(STATUS "${out}")
if(rc OR NOT out MATCHES "host ok")
  message(FATAL_ERROR "host run failed: ${rc}")
endif()
