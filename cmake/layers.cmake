# The module's code is a stack of layers, one folder of src/ each. A layer
# may include only its own headers and those of the layers it names in
# USES, and it may name only layers added before it: an upward include does
# not compile, and a cycle cannot be written down.
#
# Each layer's headers are reachable through an include root of its own,
# <build>/layers/<folder>, holding one link to src/<folder>; a layer sees
# another's root only by linking it.
#
#   zx_add_layer(<folder>
#     [SOURCES src...]        portable: built natively and for Windows
#     [WIN32_SOURCES src...]  Windows only
#     [USES layer...]         layers below, for both halves
#     [WIN32_USES layer...]   layers below, for the Windows half only
#     [SYSTEM_LIBS lib...])   Windows import libraries
#
# The library is zx_<folder>. A layer with no portable sources exists only
# in the Windows build; a header-only layer is an INTERFACE library.
function(zx_add_layer folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;WIN32_SOURCES;USES;WIN32_USES;SYSTEM_LIBS" ${ARGN})
  set(target zx_${folder})
  set(sources ${ARG_SOURCES})
  set(uses ${ARG_USES})
  if(WIN32)
    list(APPEND sources ${ARG_WIN32_SOURCES})
    list(APPEND uses ${ARG_WIN32_USES})
  elseif(NOT ARG_SOURCES)
    return()
  endif()

  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)

  if(sources)
    add_library(${target} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} ${root})
  foreach(layer IN LISTS uses)
    if(NOT TARGET zx_${layer})
      message(FATAL_ERROR "layer ${folder} uses ${layer}, which is not a layer below it")
    endif()
    target_link_libraries(${target} ${scope} zx_${layer})
  endforeach()
  if(WIN32 AND ARG_SYSTEM_LIBS)
    target_link_libraries(${target} ${scope} ${ARG_SYSTEM_LIBS})
  endif()
endfunction()
