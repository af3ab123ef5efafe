# The browser build with Debian's emscripten (the "web" preset): the core, the headless
# platform and tavi-script as a node program. Included by the top-level CMakeLists.txt
# when the compiler is Emscripten.

# WebAssembly exception handling on every object and at the link: without it the core's
# catch blocks are compiled away. Chosen over Emscripten's JavaScript exceptions because
# it is smaller and faster, and node and the current browsers run it.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions -sALLOW_MEMORY_GROWTH=1)

# The smallest module.
set(CMAKE_CXX_FLAGS_MINSIZEREL "-Oz -DNDEBUG")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL "-Oz")

# nlohmann-json is header-only. Its Debian headers are reached through a folder of their
# own: /usr/include on the include path would put the system's C library headers before
# Emscripten's.
find_path(TAVI_JSON_INCLUDE_DIR nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
if(NOT TAVI_JSON_INCLUDE_DIR)
  message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev")
endif()
set(TAVI_JSON_ONLY_DIR ${CMAKE_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${TAVI_JSON_ONLY_DIR})
file(CREATE_LINK ${TAVI_JSON_INCLUDE_DIR}/nlohmann ${TAVI_JSON_ONLY_DIR}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
                                                              ${TAVI_JSON_ONLY_DIR})
