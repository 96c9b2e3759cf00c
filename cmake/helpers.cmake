# A library made of every .cpp in the given folders (globbed, so a new file needs no edit here).
#
#   lumi_library(name DIRS dir... [DEPS lib...] [PRIVATE_DEPS lib...] [SHARED_PRIVATE_DEPS lib...]
#                [EXCLUDE regex...] [EXPORT short])
#
# DEPS are what the library's headers need too; PRIVATE_DEPS only its sources. With EXPORT the
# library is part of the installed package, compiled once and made twice: the static archive
# liblumivane-<short>.a (target <name>, Lumivane::<short>_static; what this project's programs and
# tests link) and, with LUMI_SHARED_LIBS, the shared library liblumivane-<short>.so.1 (target
# <name>_shared, Lumivane::<short>), which links SHARED_PRIVATE_DEPS when given instead of
# PRIVATE_DEPS. Without EXPORT it is static and stays in this project (the programs' windows,
# test helpers).
function(lumi_library name)
  cmake_parse_arguments(A "" "EXPORT" "DIRS;DEPS;PRIVATE_DEPS;SHARED_PRIVATE_DEPS;EXCLUDE" ${ARGN})
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
  if(NOT A_EXPORT)
    add_library(${name} STATIC ${srcs})
    lumi_library_usage(${name} "${A_DEPS}" "${A_PRIVATE_DEPS}")
    return()
  endif()
  add_library(${name}_objects OBJECT ${srcs})
  lumi_library_usage(${name}_objects "${A_DEPS}" "${A_PRIVATE_DEPS}")
  add_library(${name} STATIC $<TARGET_OBJECTS:${name}_objects>)
  lumi_library_usage(${name} "${A_DEPS}" "${A_PRIVATE_DEPS}")
  add_library(Lumivane::${A_EXPORT}_static ALIAS ${name})
  set_target_properties(${name} PROPERTIES EXPORT_NAME ${A_EXPORT}_static OUTPUT_NAME lumivane-${A_EXPORT})
  set_property(GLOBAL APPEND PROPERTY LUMI_EXPORTED_LIBRARIES ${name})
  if(LUMI_SHARED_LIBS)
    # The same layers, each shared library on the shared ones below it.
    set(deps "")
    foreach(d ${A_DEPS})
      if(TARGET ${d}_shared)
        list(APPEND deps ${d}_shared)
      else()
        list(APPEND deps ${d})
      endif()
    endforeach()
    set(private ${A_PRIVATE_DEPS})
    if(A_SHARED_PRIVATE_DEPS)
      set(private ${A_SHARED_PRIVATE_DEPS})
    endif()
    add_library(${name}_shared SHARED $<TARGET_OBJECTS:${name}_objects>)
    lumi_library_usage(${name}_shared "${deps}" "${private}")
    add_library(Lumivane::${A_EXPORT} ALIAS ${name}_shared)
    # Each finds the ones below it beside itself, in whatever prefix they were installed to.
    set_target_properties(${name}_shared PROPERTIES EXPORT_NAME ${A_EXPORT} OUTPUT_NAME lumivane-${A_EXPORT}
      VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR} INSTALL_RPATH "$ORIGIN")
    set_property(GLOBAL APPEND PROPERTY LUMI_EXPORTED_LIBRARIES ${name}_shared)
  endif()
endfunction()

# Include folders, language level and links of one of lumi_library's targets.
function(lumi_library_usage target deps private)
  # The source root here, <prefix>/include once installed: "lumivane/<layer>/<Unit>.h" either way.
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                                              $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_link_libraries(${target} PUBLIC ${deps} PRIVATE ${private})
endfunction()

# The target that compiles a library's sources: where its compile options go.
function(lumi_compiled_by name out)
  if(TARGET ${name}_objects)
    set(${out} ${name}_objects PARENT_SCOPE)
  else()
    set(${out} ${name} PARENT_SCOPE)
  endif()
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
  # GoogleTest's header costs each test source about two seconds of compiling: once per program.
  # Tests are not shipped: -O2 compiles them faster than Release's -O3 (and without GCC 12's false
  # -Wstringop-overflow on string concatenation there).
  target_precompile_headers(test_${name} PRIVATE <gtest/gtest.h>)
  target_compile_options(test_${name} PRIVATE $<$<CONFIG:Release>:-O2>)
  add_test(NAME ${name} COMMAND test_${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS "unit;${A_LABELS}" ${A_PROPS})
  lumi_test_env(${name})
endfunction()

# What every test runs with: the pinned fonts, and a home, a temporary folder and caches in this
# build tree (test-env/), a cache folder of its own included. Nothing a test does reaches the
# developer's home or /tmp: the fixture "hermetic" around the suite checks that
# (tests/hermetic/sentinel.sh). The programs stay off a desktop's accessibility bus, whose
# launcher a program may start and which writes into the session's folders; the accessibility
# test turns the bridge on again under a session of its own.
function(lumi_test_env test)
  set(env ${CMAKE_BINARY_DIR}/test-env)
  set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED hermetic ENVIRONMENT_MODIFICATION
    "FONTCONFIG_FILE=set:${PROJECT_SOURCE_DIR}/tests/fonts/fonts.conf;LANG=set:C.UTF-8;LUMI_SOURCE_DIR=set:${PROJECT_SOURCE_DIR};HOME=set:${env}/home;TMPDIR=set:${env}/tmp;XDG_CACHE_HOME=set:${env}/xdg-cache;XDG_CONFIG_HOME=unset:;XDG_DATA_HOME=unset:;LUMIVANE_CACHE=set:${env}/cache/${test};LUMIVANE_ACCESSIBILITY=set:0")
endfunction()
