# Debian packages (cpack -G DEB, run by tools/package): libtavicolortext1, the shared library,
# from a second build made with BUILD_SHARED_LIBS=ON; libtavicolortext-dev, the headers,
# static libraries and CMake package; tavi-edit and tavi-script, the programs of this (static)
# build. tools/package names both builds with cpack -D CPACK_INSTALL_CMAKE_PROJECTS=...; this
# build alone gives the packages without the shared library.
set(CPACK_PACKAGE_NAME tavicolortext)
set(CPACK_PACKAGE_VENDOR "TaviColorText")
set(CPACK_PACKAGE_CONTACT "TaviColorText maintainers <maintainers@tavicolortext.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "embeddable script-editor control")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL lib dev edit script)
set(tavi_deb_components LIB DEV EDIT SCRIPT)
# tavicolortext-designer, the Qt Designer plugin, where it is built.
if(TARGET tavi_designer_plugin)
  list(APPEND CPACK_COMPONENTS_ALL designer)
  list(APPEND tavi_deb_components DESIGNER)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)  # the shlibs file and the ldconfig trigger
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.invalid/tavicolortext")

set(CPACK_DEBIAN_LIB_PACKAGE_NAME libtavicolortext${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
# ldconfig by trigger (CPack also writes the older postinst/postrm calls, which lintian warns of).
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_LIB_DESCRIPTION "script-editor widget for Qt 6 (shared library)
 TaviColorText, an embeddable script editor: keyword colouring,
 completion lists and line numbers.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtavicolortext-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "libtavicolortext${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION}), qt6-base-dev")
set(CPACK_COMPONENT_DEV_DESCRIPTION "script-editor widget for Qt 6 (development files)
 Headers, static libraries and the CMake package TaviColorText.")
set(CPACK_DEBIAN_EDIT_PACKAGE_NAME tavi-edit)
set(CPACK_DEBIAN_EDIT_PACKAGE_SECTION editors)
set(CPACK_COMPONENT_EDIT_DESCRIPTION "script editor for call-routing scripts
 A desktop editor built on the TaviColorText widget.")
set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME tavicolortext-designer)
set(CPACK_COMPONENT_DESIGNER_DESCRIPTION "Qt Designer plugin for the TaviColorText widget
 Places the script-editor widget on forms in Qt Designer, with its
 properties in the property editor.")
set(CPACK_DEBIAN_SCRIPT_PACKAGE_NAME tavi-script)
set(CPACK_COMPONENT_SCRIPT_DESCRIPTION "drives TaviColorText controls from JSON command lines
 Runs scripted sessions against the control on the headless and Qt
 platforms.")
# Each package's copyright and (gzipped) changelog, as Debian expects of every package.
configure_file(cmake/debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog)
foreach(component ${tavi_deb_components})
  string(TOLOWER ${component} name)
  install(FILES cmake/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_${component}_PACKAGE_NAME}
          COMPONENT ${name})
endforeach()
include(CPack)
