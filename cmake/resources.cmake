# Files compiled into a program and found by name at run time (lumivane/framework/layout/Resources.h):
#
#   lumi_add_resources(target NAME1 file1 NAME2 file2 ...)
#
# generates a source file holding the bytes and registering them at start-up. The generated code
# lives in a small static library linked whole (so the registration is never dropped by the
# linker) and reaches every program that links the target.
set(LUMI_RESOURCES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/resources_embed.cmake)

function(lumi_add_resources target)
  set(args ${ARGN})
  list(LENGTH args n)
  math(EXPR odd "${n} % 2")
  if(n EQUAL 0 OR odd)
    message(FATAL_ERROR "lumi_add_resources(${target} NAME file ...): names and files come in pairs")
  endif()
  set(pairs "")
  set(files "")
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET args ${i} name)
    list(GET args ${j} file)
    if(NOT name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      message(FATAL_ERROR "lumi_add_resources: bad resource name '${name}'")
    endif()
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND pairs "${name}=${file}")
    list(APPEND files "${file}")
  endforeach()
  string(REPLACE ";" "|" pairs_arg "${pairs}")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} -DPAIRS=${pairs_arg} -P ${LUMI_RESOURCES_SCRIPT}
    DEPENDS ${files} ${LUMI_RESOURCES_SCRIPT}
    COMMENT "Embedding resources of ${target}"
    VERBATIM)
  add_library(${target}_resources STATIC ${out})
  target_link_libraries(${target}_resources PRIVATE lumi_framework)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}_resources>")
  else()
    target_link_libraries(${target} PUBLIC "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}_resources>")
  endif()
endfunction()
