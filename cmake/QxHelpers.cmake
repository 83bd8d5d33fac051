# Shared build helpers. Sources are found by globbing so that a new unit is a
# new file pair and nothing else.

# Every third-party package the libraries use, as pkg-config imported targets.
# None of them shows in an installed header, so all are private to the
# libraries and the installed package config asks for none of them.
macro(qx_find_dependencies)
  pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
  pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
  pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
  pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
  pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
  pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
  pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
  pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
  # Vector code with run-time dispatch (the pixel rows).
  pkg_check_modules(HWY REQUIRED IMPORTED_TARGET libhwy)
  pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
  # Highway builds its second AVX-512 level (byte permutes, VNNI) only when
  # asked. Every unit that dispatches or lists the targets must see the same
  # set, so the wish travels with the package.
  set_property(TARGET PkgConfig::HWY APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS HWY_WANT_AVX3_DL)
endmacro()

# The folders of a layer: every folder below ROOT that holds sources or
# headers. Folders named Internal hold the layer's private headers and are
# listed apart.
function(qx_layer_dirs ROOT PUBLIC_OUT PRIVATE_OUT)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${ROOT}/*.cpp ${ROOT}/*.hpp)
  set(public)
  set(private)
  foreach(f IN LISTS files)
    get_filename_component(d ${f} DIRECTORY)
    get_filename_component(leaf ${d} NAME)
    if(leaf STREQUAL "Internal")
      list(APPEND private ${d})
    else()
      list(APPEND public ${d})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES public)
  list(SORT public)
  list(REMOVE_DUPLICATES private)
  set(${PUBLIC_OUT} ${public} PARENT_SCOPE)
  set(${PRIVATE_OUT} ${private} PARENT_SCOPE)
endfunction()

# One layer of the libraries as an object library:
#   qx_add_layer(NAME ROOT IN LIBRARY [USES layers...] [DEPENDS third-party targets...])
# Its public folders are given to itself and to the layers and programs that
# use it, its Internal folders to itself only; a layer sees only the layers it
# USES, so an include of a layer above it does not compile. Its objects go
# into the shared LIBRARY, whose layers so far are listed in ${LIBRARY}_LAYERS.
function(qx_add_layer NAME ROOT)
  cmake_parse_arguments(LAYER "" "IN" "USES;DEPENDS" ${ARGN})
  qx_layer_dirs(${CMAKE_SOURCE_DIR}/${ROOT} public private)
  set(sources)
  set(headers)
  foreach(d IN LISTS public private)
    file(GLOB s CONFIGURE_DEPENDS ${d}/*.cpp)
    file(GLOB h CONFIGURE_DEPENDS ${d}/*.hpp)
    list(APPEND sources ${s})
    list(APPEND headers ${h})
  endforeach()
  add_library(${NAME} OBJECT ${sources} ${headers})
  foreach(d IN LISTS public)
    target_include_directories(${NAME} PUBLIC $<BUILD_INTERFACE:${d}>)
  endforeach()
  foreach(d IN LISTS private)
    target_include_directories(${NAME} PRIVATE ${d})
  endforeach()
  target_link_libraries(${NAME} PUBLIC ${LAYER_USES} Threads::Threads PRIVATE ${LAYER_DEPENDS})
  set_property(GLOBAL APPEND PROPERTY QX_LAYER_PUBLIC_DIRS ${public})
  set(${LAYER_IN}_LAYERS ${${LAYER_IN}_LAYERS} ${NAME} PARENT_SCOPE)
endfunction()

# One installed shared library made of the objects of its layers
# (${NAME}_LAYERS):  qx_add_library(NAME [USES libraries...]). Programs in
# the tree see the layers' public folders; installed hosts see the one
# include folder that holds every public header.
function(qx_add_library NAME)
  cmake_parse_arguments(LIB "" "" "USES" ${ARGN})
  add_library(${NAME} SHARED)
  target_link_libraries(${NAME} PRIVATE ${${NAME}_LAYERS} PUBLIC ${LIB_USES} Threads::Threads)
  foreach(layer IN LISTS ${NAME}_LAYERS)
    target_link_libraries(${NAME} INTERFACE $<BUILD_INTERFACE:${layer}>)
  endforeach()
  target_include_directories(${NAME} INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/QxComponents>)
  set_target_properties(${NAME} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
endfunction()

# The public headers of every layer (never those of an Internal folder).
function(qx_public_headers OUT)
  get_property(dirs GLOBAL PROPERTY QX_LAYER_PUBLIC_DIRS)
  set(headers)
  foreach(d IN LISTS dirs)
    file(GLOB h CONFIGURE_DEPENDS ${d}/*.hpp)
    list(APPEND headers ${h})
  endforeach()
  set(${OUT} ${headers} PARENT_SCOPE)
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

# A library loaded at run time by its file name (LoadLibrary), linked
# against the installed libraries like a host:
#   qx_add_runtime_library(TARGET FILE_NAME SOURCE OUTPUT_DIRECTORY [definitions...])
function(qx_add_runtime_library TARGET FILE_NAME SOURCE OUTPUT_DIRECTORY)
  add_library(${TARGET} MODULE ${SOURCE})
  target_link_libraries(${TARGET} PRIVATE QxComponents QxPlatform)
  target_compile_definitions(${TARGET} PRIVATE ${ARGN})
  get_filename_component(stem ${FILE_NAME} NAME_WLE)
  get_filename_component(ext ${FILE_NAME} LAST_EXT)
  set_target_properties(${TARGET} PROPERTIES PREFIX "" OUTPUT_NAME ${stem} SUFFIX "${ext}"
    LIBRARY_OUTPUT_DIRECTORY ${OUTPUT_DIRECTORY})
endfunction()
