# Files embedded into a library as the resources of a module (Winapi.Modules):
#   qx_embed_resources(TARGET MODULE name RESOURCES type name file [type name file ...])
# A type is RT_... (the Win32 numbers) or a string; a name is a number or a
# string; a file is relative to the calling folder. The generated source
# holds the bytes and registers them when the library loads. It is made anew
# whenever a listed file changes.
function(qx_embed_resources TARGET)
  cmake_parse_arguments(EMBED "" "MODULE" "RESOURCES" ${ARGN})
  list(LENGTH EMBED_RESOURCES count)
  math(EXPR last "${count} / 3 - 1")
  set(arrays "")
  set(entries "")
  foreach(i RANGE ${last})
    math(EXPR at "${i} * 3")
    list(GET EMBED_RESOURCES ${at} type)
    math(EXPR at "${at} + 1")
    list(GET EMBED_RESOURCES ${at} name)
    math(EXPR at "${at} + 1")
    list(GET EMBED_RESOURCES ${at} file)
    set(path ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(READ ${path} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  "
      bytes "${bytes}")
    string(APPEND arrays "// ${file}\nconst std::uint8_t kData${i}[] = {\n  ${bytes}\n};\n")
    if(type MATCHES "^RT_")
      set(type "Win::${type}")
    else()
      set(type "\"${type}\"")
    endif()
    if(name MATCHES "^[0-9]+$")
      set(name "Win::MAKEINTRESOURCE(${name})")
    else()
      set(name "\"${name}\"")
    endif()
    string(APPEND entries "  {${type}, ${name}, kData${i}, sizeof kData${i}},\n")
  endforeach()
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${EMBED_MODULE}Resources.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Generated at configure time: the resources of the module \"${EMBED_MODULE}\".
#include <Winapi.Modules.hpp>

namespace {

${arrays}
const Win::TResourceEntry kResources[] = {
${entries}};

[[maybe_unused]] const bool kRegistered = (Win::RegisterModuleResources(\"${EMBED_MODULE}\", kResources), true);

} // namespace
" @ONLY)
  target_sources(${TARGET} PRIVATE ${source})
endfunction()
