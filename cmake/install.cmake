# The installed package: the libraries (Lumivane::base, gfx, windows, headless, posix, framework,
# controls, x11), their public headers under <prefix>/include/lumivane/, a CMake package
# (find_package(Lumivane)), a pkg-config file (lumivane.pc), the form tools and the programs;
# `cpack -G DEB` makes a Debian package of the same files.
include(CMakePackageConfigHelpers)

set(LUMI_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Lumivane)
get_property(lumi_exported GLOBAL PROPERTY LUMI_EXPORTED_LIBRARIES)

# Installed programs find the shared libraries beside them, wherever the prefix is.
if(BUILD_SHARED_LIBS)
  file(RELATIVE_PATH lumi_bin_to_lib /p/${CMAKE_INSTALL_BINDIR} /p/${CMAKE_INSTALL_LIBDIR})
  set(lumi_rpath_targets ${lumi_exported})
  foreach(program formshot formview lumivane-notice lumivane-gallery)
    if(TARGET ${program})
      list(APPEND lumi_rpath_targets ${program})
    endif()
  endforeach()
  set_target_properties(${lumi_rpath_targets} PROPERTIES INSTALL_RPATH "$ORIGIN/${lumi_bin_to_lib}")
endif()

# --- Libraries and the CMake package
install(TARGETS ${lumi_exported} EXPORT LumivaneTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT LumivaneTargets NAMESPACE Lumivane:: DESTINATION ${LUMI_CMAKE_DIR})
set(LUMI_PACKAGE_STATIC ON)
if(BUILD_SHARED_LIBS)
  set(LUMI_PACKAGE_STATIC OFF)
endif()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/LumivaneConfig.cmake.in
  ${CMAKE_BINARY_DIR}/LumivaneConfig.cmake INSTALL_DESTINATION ${LUMI_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/LumivaneConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/LumivaneConfig.cmake ${CMAKE_BINARY_DIR}/LumivaneConfigVersion.cmake
  DESTINATION ${LUMI_CMAKE_DIR})

# --- Headers
# Every header under lumivane/ except the private ones. A header is private when its name ends in
# Internal.h, when it includes a header of a library that the package keeps behind its sources
# (Xlib, FreeType, fontconfig, libpng: a consumer compiles without them), or when it includes a
# private header. Decided from the headers themselves, so that a new or moved header needs no
# edit here; tests/install/test_install.sh compiles each installed header alone.
function(lumi_private_headers out)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/lumivane/*.h)
  set(private "")
  foreach(h ${headers})
    file(STRINGS ${PROJECT_SOURCE_DIR}/${h} lines REGEX "^[ \t]*#[ \t]*include")
    string(MAKE_C_IDENTIFIER ${h} id)
    string(REGEX MATCHALL "\"lumivane/[^\"]+\"" includes "${lines}")
    string(REPLACE "\"" "" includes_${id} "${includes}")
    if(h MATCHES "Internal\\.h$" OR lines MATCHES "<(X11/|ft2build\\.h|freetype/|fontconfig/|png\\.h|utf8proc\\.h)")
      list(APPEND private ${h})
    endif()
  endforeach()
  set(grew TRUE)
  while(grew)
    set(grew FALSE)
    foreach(h ${headers})
      string(MAKE_C_IDENTIFIER ${h} id)
      if(NOT h IN_LIST private)
        foreach(i ${includes_${id}})
          if(i IN_LIST private)
            list(APPEND private ${h})
            set(grew TRUE)
            break()
          endif()
        endforeach()
      endif()
    endforeach()
  endwhile()
  set(${out} ${private} PARENT_SCOPE)
endfunction()

lumi_private_headers(lumi_private)
set(lumi_exclude "")
foreach(h ${lumi_private})
  string(REGEX REPLACE "([.+])" "\\\\\\1" pattern "${h}")
  list(APPEND lumi_exclude REGEX "/${pattern}$" EXCLUDE)
endforeach()
message(VERBOSE "Headers not installed: ${lumi_private}")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/lumivane/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lumivane
  FILES_MATCHING PATTERN "*.h" ${lumi_exclude})

# --- pkg-config
# The file finds its prefix from where it lies, so an unpacked package works where it is.
file(RELATIVE_PATH LUMI_PC_TO_PREFIX /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
string(REGEX REPLACE "/$" "" LUMI_PC_TO_PREFIX "${LUMI_PC_TO_PREFIX}")
set(LUMI_PC_LIBS "")
# In link order: each before the libraries it uses.
foreach(l controls x11 framework headless posix windows gfx)
  if(TARGET Lumivane::${l})
    string(APPEND LUMI_PC_LIBS " -llumivane-${l}")
  endif()
endforeach()
set(lumi_pc_deps "freetype2 fontconfig libpng libutf8proc")
if(LUMI_X11)
  string(APPEND lumi_pc_deps " x11 xext")
endif()
# Static libraries need their dependencies at every link, shared ones only carry them.
if(BUILD_SHARED_LIBS)
  set(LUMI_PC_REQUIRES "")
  set(LUMI_PC_REQUIRES_PRIVATE "${lumi_pc_deps}")
  set(LUMI_PC_LIBS_PRIVATE "-lm")
else()
  set(LUMI_PC_REQUIRES "${lumi_pc_deps}")
  set(LUMI_PC_REQUIRES_PRIVATE "")
  string(APPEND LUMI_PC_LIBS " -lm")
  set(LUMI_PC_LIBS_PRIVATE "")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumivane.pc.in ${CMAKE_BINARY_DIR}/lumivane.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/lumivane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# --- Tools and programs
foreach(program formshot formview lumivane-notice lumivane-gallery)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/library.md DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)

# --- Debian package (cpack -G DEB)
set(CPACK_PACKAGE_NAME lumivane)
set(CPACK_PACKAGE_VENDOR "Lumivane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Lumivane control library, form tools and programs")
set(CPACK_PACKAGE_CONTACT "Lumivane developers <dev@lumivane.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(lumi_deb_depends "libc6, libstdc++6, libgcc-s1, libfreetype6, libfontconfig1, libpng16-16, libutf8proc2")
if(LUMI_X11)
  string(APPEND lumi_deb_depends ", libx11-6, libxext6")
endif()
if(NOT BUILD_SHARED_LIBS)
  # A program linked against the static libraries links their dependencies too.
  string(APPEND lumi_deb_depends ", libfreetype-dev, libfontconfig-dev, libpng-dev, libutf8proc-dev")
  if(LUMI_X11)
    string(APPEND lumi_deb_depends ", libx11-dev, libxext-dev")
  endif()
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${lumi_deb_depends}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-wqy-zenhei, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lumivane control library, form tools and programs
 Owner-drawn image buttons, tri-state images, a hyperlink label, a background image, validating and
 64-bit up-down edits on a component framework of their own, drawn in software and shown through
 an X11 driver. With the headers, a CMake package and a pkg-config file, the form tools formshot
 and formview, and the programs lumivane-notice and lumivane-gallery.")
set(CPACK_GENERATOR DEB)
include(CPack)
