# The installable libraries and the CMake package TaviColorText (components Core and Qt).
# Included after tavi_qt is defined. The static build installs both libraries; the shared
# build installs the widget's shared library, which holds the core inside it and exports only
# the widget's API, while Core is then its headers.
include(CMakePackageConfigHelpers)
set(TAVI_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/TaviColorText)

# The public headers: the widget's and those it includes, nothing more.
set(TAVI_PUBLIC_CORE_HEADERS
    gutter/gutter_picture.h history/journal.h history/shared_text.h history/undo_run.h
    language/keyword_trie.h shell/control.h shell/dispatch.h shell/module_state.h shell/text.h
    shell/variant.h shell/widgets/edit_surface.h shell/widgets/environment.h
    shell/widgets/floating.h shell/widgets/gutter_canvas.h shell/widgets/printer.h
    shell/widgets/widgets.h)
foreach(header ${TAVI_PUBLIC_CORE_HEADERS})
  get_filename_component(dir ${header} DIRECTORY)
  install(FILES src/${header} DESTINATION ${TAVI_INCLUDEDIR}/${dir} COMPONENT dev)
endforeach()
install(FILES platforms/qt/tavi_color_text_widget.h DESTINATION ${TAVI_INCLUDEDIR}/qt COMPONENT dev)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/export/tavi_export.h DESTINATION ${TAVI_INCLUDEDIR}
        COMPONENT dev)

if(BUILD_SHARED_LIBS)
  # The core is linked into the widget's library, its symbols hidden.
  add_library(tavi_core_headers INTERFACE)
  target_include_directories(tavi_core_headers INTERFACE $<INSTALL_INTERFACE:${TAVI_INCLUDEDIR}>)
  set_target_properties(tavi_core_headers PROPERTIES EXPORT_NAME Core)
  target_link_libraries(tavi_qt PRIVATE $<BUILD_INTERFACE:tavi_core> PUBLIC tavi_core_headers)
  set(TAVI_EXPORTED tavi_qt tavi_core_headers)
  set(TAVI_TARGETS_FILE TaviColorTextSharedTargets.cmake)
else()
  target_link_libraries(tavi_qt PUBLIC tavi_core)
  target_compile_definitions(tavi_qt PUBLIC TAVI_STATIC_DEFINE)
  set(TAVI_EXPORTED tavi_qt tavi_core)
  set(TAVI_TARGETS_FILE TaviColorTextStaticTargets.cmake)
endif()
install(TARGETS ${TAVI_EXPORTED} EXPORT TaviColorTextTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT lib NAMELINK_COMPONENT dev
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(EXPORT TaviColorTextTargets NAMESPACE TaviColorText:: FILE ${TAVI_TARGETS_FILE}
        DESTINATION ${TAVI_CMAKEDIR} COMPONENT dev)

configure_package_config_file(cmake/TaviColorTextConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/TaviColorTextConfig.cmake
                              INSTALL_DESTINATION ${TAVI_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TaviColorTextConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TaviColorTextConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/TaviColorTextConfigVersion.cmake
        DESTINATION ${TAVI_CMAKEDIR} COMPONENT dev)
