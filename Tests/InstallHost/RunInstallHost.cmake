# Installs the built libraries into a scratch prefix, then configures, builds
# and runs a tiny host project (HOST, a folder beside this script) that finds
# them with find_package(), in BUILD_TYPE when given. The host sees no
# pkg-config: the libraries' third-party packages are private, so it must
# need none of their development files. It prints "host ok" when all went well.
cmake_minimum_required(VERSION 3.25)
if(NOT HOST)
  set(HOST host)
endif()
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${WORK_DIR}/prefix
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

# The installed headers are the public ones only, and they include nothing
# but one another and the standard library.
set(include_dir ${WORK_DIR}/prefix/include/QxComponents)
file(GLOB headers ${include_dir}/*)
set(installed)
foreach(h IN LISTS headers)
  get_filename_component(name ${h} NAME)
  list(APPEND installed ${name})
  if(name MATCHES "Internal")
    message(FATAL_ERROR "a private header is installed: ${name}")
  endif()
endforeach()
foreach(h IN LISTS headers)
  file(STRINGS ${h} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^<\"]*[<\"]([^>\"]+)[>\"].*" "\\1" name "${line}")
    if(NOT name IN_LIST installed AND name MATCHES "[./]")
      get_filename_component(header ${h} NAME)
      message(FATAL_ERROR "${header} includes ${name}, which is not an installed header of the package")
    endif()
  endforeach()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=PKG_CONFIG_PATH PKG_CONFIG_LIBDIR=${WORK_DIR}/no-pkgconfig
    ${CMAKE_COMMAND} -G Ninja -S ${SOURCE_DIR}/Tests/InstallHost/${HOST}
    -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix -DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=ON
    "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}" "-DCMAKE_CXX_FLAGS=${HOST_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${HOST_LINK_FLAGS}"
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
