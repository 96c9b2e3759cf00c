# The installed package: the libraries (Lumivane::base, gfx, windows, headless, posix, framework,
# controls, x11: shared; Lumivane::<name>_static: their archives), their public headers under
# <prefix>/include/lumivane/, a CMake package (find_package(Lumivane)), a pkg-config file
# (lumivane.pc), the form tools and the programs, and the guide with its pictures. Two components,
# which `cpack -G DEB` makes two Debian packages of: Runtime ("lumivane": the programs and the
# shared libraries) and Development ("lumivane-dev": everything to build against them).
include(CMakePackageConfigHelpers)

set(LUMI_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Lumivane)
get_property(lumi_exported GLOBAL PROPERTY LUMI_EXPORTED_LIBRARIES)

# --- Libraries and the CMake package
install(TARGETS ${lumi_exported} EXPORT LumivaneTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)
install(EXPORT LumivaneTargets NAMESPACE Lumivane:: DESTINATION ${LUMI_CMAKE_DIR} COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/LumivaneConfig.cmake.in
  ${CMAKE_BINARY_DIR}/LumivaneConfig.cmake INSTALL_DESTINATION ${LUMI_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/LumivaneConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/LumivaneConfig.cmake ${CMAKE_BINARY_DIR}/LumivaneConfigVersion.cmake
  DESTINATION ${LUMI_CMAKE_DIR} COMPONENT Development)

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
    if(h MATCHES "Internal\\.h$" OR lines MATCHES "<(X11/|ft2build\\.h|freetype/|fontconfig/|png\\.h|utf8proc\\.h|systemd/|atspi/)")
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
  COMPONENT Development FILES_MATCHING PATTERN "*.h" ${lumi_exclude})

# --- pkg-config
# The file finds its prefix from where it lies, so an unpacked package works where it is.
file(RELATIVE_PATH LUMI_PC_TO_PREFIX /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
string(REGEX REPLACE "/$" "" LUMI_PC_TO_PREFIX "${LUMI_PC_TO_PREFIX}")
set(LUMI_PC_LIBS "")
# In link order: each before the libraries it uses.
foreach(l controls x11 accessibility framework headless posix windows gfx)
  if(TARGET Lumivane::${l}_static)
    string(APPEND LUMI_PC_LIBS " -llumivane-${l}")
  endif()
endforeach()
set(lumi_pc_deps "freetype2 fontconfig libpng libutf8proc")
if(LUMI_X11)
  string(APPEND lumi_pc_deps " x11 xext")
endif()
# Shared libraries carry their dependencies; a static link (pkg-config --static) names them.
set(LUMI_PC_REQUIRES "")
set(LUMI_PC_REQUIRES_PRIVATE "${lumi_pc_deps}")
set(LUMI_PC_LIBS_PRIVATE "-lm")
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumivane.pc.in ${CMAKE_BINARY_DIR}/lumivane.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/lumivane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)

# --- Tools and programs
# Each with its manual page, compressed without a time stamp as Debian wants (reproducible).
set(lumi_man_pages "")
foreach(program formshot formview lumivane-notice lumivane-gallery)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
    set(page ${CMAKE_BINARY_DIR}/packaging/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
      COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/docs/man/${program}.1 > ${page}
      DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${program}.1 VERBATIM)
    list(APPEND lumi_man_pages ${page})
  endif()
endforeach()
add_custom_target(lumi_man_pages ALL DEPENDS ${lumi_man_pages})
install(FILES ${lumi_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Runtime)

# --- The guide with its pictures, and each package's copyright and changelog
set(lumi_dev_doc ${CMAKE_INSTALL_DATADIR}/doc/lumivane-dev)
install(FILES ${PROJECT_SOURCE_DIR}/docs/library.md DESTINATION ${lumi_dev_doc} COMPONENT Development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/library/ DESTINATION ${lumi_dev_doc}/library
  COMPONENT Development FILES_MATCHING PATTERN "*.png")
# Debian wants the changelog compressed with no time stamp in it (so the package is reproducible).
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(lumi_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
foreach(component Runtime Development)
  if(component STREQUAL Runtime)
    set(doc ${CMAKE_INSTALL_DATADIR}/doc/lumivane)
  else()
    set(doc ${lumi_dev_doc})
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
    DESTINATION ${doc} COMPONENT ${component})
endforeach()

# --- Debian packages (cpack -G DEB, from a build configured with CMAKE_INSTALL_PREFIX=/usr)
set(CPACK_PACKAGE_NAME lumivane)
set(CPACK_PACKAGE_VENDOR "Lumivane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first packaging of this version (1.0.0-1), as packaging/changelog says; programs and
# libraries stripped, as Debian ships them.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Lumivane developers <dev@lumivane.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Each package's dependencies are read from the libraries its files link (dpkg-shlibdeps). The
# runtime package declares its libraries for the packages built against them (shlibs) and has
# ldconfig run once after it is installed or removed (triggers, not maintainer scripts).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(lumi_shlibs "")
foreach(lib ${lumi_exported})
  get_target_property(kind ${lib} TYPE)
  if(kind STREQUAL SHARED_LIBRARY)
    get_target_property(name ${lib} OUTPUT_NAME)
    string(APPEND lumi_shlibs "lib${name} ${PROJECT_VERSION_MAJOR} lumivane (>= ${PROJECT_VERSION})\n")
  endif()
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
file(WRITE ${CMAKE_BINARY_DIR}/packaging/shlibs "${lumi_shlibs}")
file(WRITE ${CMAKE_BINARY_DIR}/packaging/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME lumivane)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-wqy-zenhei, xdg-utils")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/shlibs ${CMAKE_BINARY_DIR}/packaging/triggers)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack indents the lines of a description itself; an empty line separates paragraphs.
set(lumi_about "Owner-drawn image buttons, tri-state images, a hyperlink label, a
background image, validating and 64-bit up-down edits on a component
framework of their own, drawn in software and shown through an X11 driver.")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "owner-drawn X11 control library - programs and shared libraries
${lumi_about}

This package holds the shared libraries, the form tools formshot and
formview, and the programs lumivane-notice and lumivane-gallery.")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME lumivane-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(lumi_dev_depends "lumivane (= ${PROJECT_VERSION}-1), libfreetype-dev, libfontconfig-dev, libpng-dev, libutf8proc-dev")
if(LUMI_X11)
  string(APPEND lumi_dev_depends ", libx11-dev, libxext-dev")
endif()
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${lumi_dev_depends}")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "owner-drawn X11 control library - development files
${lumi_about}

This package holds the headers, the static archives, the CMake package
(find_package(Lumivane)), the pkg-config file and the library guide with
its pictures.")
set(CPACK_GENERATOR DEB)
include(CPack)
