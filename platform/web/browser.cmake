# The browser program, built with emscripten (tools/web/build.sh runs emcmake): one
# qzview.js and qzview.wasm for any show. The show's files and the glyph atlas are
# fetched into the page's file system as the program opens them: fopen is wrapped
# (files.cpp) to wait for a file still on its way. Waits and pauses hand the browser
# its turn through ASYNCIFY, so the program's blocking waits run as they are written.
file(GLOB QZVIEW_WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
list(FILTER QZVIEW_WEB_SOURCES EXCLUDE REGEX ".*/(atlas_from_sdl|make_glyph_atlas)\\.cpp$")
add_executable(qzview ${QZVIEW_WEB_SOURCES} ${PROJECT_SOURCE_DIR}/programs/browser_main.cpp
                      $<TARGET_OBJECTS:qzview_platform_soft>
                      ${PROJECT_SOURCE_DIR}/platform/stdio/files.cpp)
qzview_target(qzview)
target_link_libraries(qzview PRIVATE qzview_core qzview_platform_common)
set(QZVIEW_FILES_JS ${CMAKE_CURRENT_SOURCE_DIR}/files.js)
set(QZVIEW_PAGE_JS ${CMAKE_CURRENT_SOURCE_DIR}/page.js)
target_link_options(qzview PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sINITIAL_MEMORY=64MB -sALLOW_MEMORY_GROWTH=1
  -sFORCE_FILESYSTEM=1 -lidbfs.js
  -sEXIT_RUNTIME=0
  -Wl,--wrap=fopen
  "SHELL:--pre-js ${QZVIEW_FILES_JS}" "SHELL:--pre-js ${QZVIEW_PAGE_JS}")
set_target_properties(qzview PROPERTIES SUFFIX .js LINK_DEPENDS "${QZVIEW_FILES_JS};${QZVIEW_PAGE_JS}"
                                        RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
