# Shared build helpers. Sources are found by globbing so that a new unit is a
# new file pair and nothing else.

# Every third-party package the libraries use, as pkg-config imported targets.
# The same list is repeated by the installed package config.
macro(qx_find_dependencies)
  pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
  pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
  pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
  pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
  pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
  pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
  pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
  pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
  set(QX_PLATFORM_PUBLIC_DEPS Threads::Threads)
  set(QX_PLATFORM_PRIVATE_DEPS PkgConfig::CAIRO PkgConfig::PIXMAN PkgConfig::FREETYPE PkgConfig::FONTCONFIG
      PkgConfig::PNG PkgConfig::ICU PkgConfig::PUGIXML PkgConfig::CURL ${CMAKE_DL_LIBS})
endmacro()

# All directories below the given roots that hold sources or headers.
function(qx_source_dirs OUT)
  set(dirs)
  foreach(root IN LISTS ARGN)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${root}/*.cpp ${CMAKE_SOURCE_DIR}/${root}/*.hpp)
    foreach(f IN LISTS files)
      get_filename_component(d ${f} DIRECTORY)
      list(APPEND dirs ${d})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES dirs)
  list(SORT dirs)
  set(${OUT} ${dirs} PARENT_SCOPE)
endfunction()

function(qx_collect_headers OUT DIRS)
  set(headers)
  foreach(d IN LISTS DIRS)
    file(GLOB h CONFIGURE_DEPENDS ${d}/*.hpp)
    list(APPEND headers ${h})
  endforeach()
  set(${OUT} ${headers} PARENT_SCOPE)
endfunction()

function(qx_add_library NAME DIRS)
  set(sources)
  foreach(d IN LISTS DIRS)
    file(GLOB s CONFIGURE_DEPENDS ${d}/*.cpp)
    list(APPEND sources ${s})
  endforeach()
  qx_collect_headers(headers "${DIRS}")
  add_library(${NAME} SHARED ${sources} ${headers})
  foreach(d IN LISTS DIRS)
    target_include_directories(${NAME} PUBLIC $<BUILD_INTERFACE:${d}>)
  endforeach()
  target_include_directories(${NAME} PUBLIC
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/QxComponents>)
  set_target_properties(${NAME} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
endfunction()

# One GoogleTest executable per test folder; ctest learns its cases.
function(qx_add_test_dir DIR)
  file(GLOB sources CONFIGURE_DEPENDS ${DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/Tests ${DIR})
  string(REPLACE "/" "_" name "test_${rel}")
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE QxTestSupport)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QX_SOURCE_DIR=${CMAKE_SOURCE_DIR}" LABELS "${rel}")
endfunction()
