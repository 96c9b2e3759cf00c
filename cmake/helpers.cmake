# A library made of every .cpp in the given folders (globbed, so a new file needs no edit here).
#
#   lumi_library(name DIRS dir... [DEPS lib...] [PRIVATE_DEPS lib...] [EXCLUDE regex...] [EXPORT short])
#
# DEPS are what the library's headers need too; PRIVATE_DEPS only its sources. With EXPORT the
# library is part of the installed package as Lumivane::<short> (file liblumivane-<short>): static,
# or shared with a versioned name when BUILD_SHARED_LIBS is on. Without, it is static and stays in
# this project (the programs' windows, test helpers).
function(lumi_library name)
  cmake_parse_arguments(A "" "EXPORT" "DIRS;DEPS;PRIVATE_DEPS;EXCLUDE" ${ARGN})
  set(srcs "")
  foreach(d ${A_DIRS})
    file(GLOB s CONFIGURE_DEPENDS ${d}/*.cpp)
    list(APPEND srcs ${s})
  endforeach()
  foreach(x ${A_EXCLUDE})
    list(FILTER srcs EXCLUDE REGEX "${x}")
  endforeach()
  if(NOT srcs)
    # Headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                                                 $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    target_compile_features(${name} INTERFACE cxx_std_20)
    target_link_libraries(${name} INTERFACE ${A_DEPS})
    if(A_EXPORT)
      add_library(Lumivane::${A_EXPORT} ALIAS ${name})
      set_target_properties(${name} PROPERTIES EXPORT_NAME ${A_EXPORT})
      set_property(GLOBAL APPEND PROPERTY LUMI_EXPORTED_LIBRARIES ${name})
    endif()
    return()
  endif()
  if(A_EXPORT)
    add_library(${name} ${srcs})
    add_library(Lumivane::${A_EXPORT} ALIAS ${name})
    set_target_properties(${name} PROPERTIES EXPORT_NAME ${A_EXPORT} OUTPUT_NAME lumivane-${A_EXPORT}
      VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
    set_property(GLOBAL APPEND PROPERTY LUMI_EXPORTED_LIBRARIES ${name})
  else()
    add_library(${name} STATIC ${srcs})
  endif()
  # The source root here, <prefix>/include once installed: "lumivane/<layer>/<Unit>.h" either way.
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                                            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${name} PUBLIC cxx_std_20)
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
endfunction()

# One test executable per folder under tests/ (every .cpp in it), run by CTest.
function(lumi_test_dir name)
  cmake_parse_arguments(A "" "" "DEPS;LABELS;PROPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(test_${name} ${srcs})
  target_link_libraries(test_${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND test_${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS "unit;${A_LABELS}"
    ENVIRONMENT "FONTCONFIG_FILE=${PROJECT_SOURCE_DIR}/tests/fonts/fonts.conf;LANG=C.UTF-8;LUMI_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${A_PROPS})
endfunction()
