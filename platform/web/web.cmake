# The browser build, included by CMakeLists.txt under emcmake: the game as a web page
# (quellaro.js, .wasm and .data beside index.html) and the headless runner for the browser
# (runner.html), which plays a script and shows its state lines. No fast-math here (nor
# anywhere): the browser must round every float as the desktop does, pass for pass.

set(WEB_ASSETS_DIR ${CMAKE_SOURCE_DIR}/assets)
file(GLOB WEB_ASSET_FILES CONFIGURE_DEPENDS ${WEB_ASSETS_DIR}/*)

# The runner finds its pictures in the packed /assets folder and the committed play scripts
# in /scripts; runner.js starts it with the page's arguments.
file(GLOB WEB_SCRIPT_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scripts/*.txt)
set_property(TARGET quellaro-headless PROPERTY COMPILE_DEFINITIONS QUELLARO_ASSETS_DIR="/assets")
target_link_options(quellaro-headless PRIVATE
  -sENVIRONMENT=web -sMODULARIZE=1 -sEXPORT_NAME=createRunner -sINVOKE_RUN=0
  -sEXPORTED_RUNTIME_METHODS=callMain,FS -sALLOW_MEMORY_GROWTH=1
  "SHELL:--preload-file ${WEB_ASSETS_DIR}@/assets"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/tests/scripts@/scripts")
set_property(TARGET quellaro-headless APPEND PROPERTY LINK_DEPENDS ${WEB_ASSET_FILES} ${WEB_SCRIPT_FILES})

# The page's own files, copied beside the build's output.
file(GLOB WEB_PAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/page/*)
add_custom_target(web_page ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${WEB_PAGE_FILES} ${CMAKE_BINARY_DIR}
  DEPENDS ${WEB_PAGE_FILES}
  COMMENT "Copying the web page")

# The game: the browser backend and the game library, the pictures packed beside it.
file(GLOB WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/common/*.cpp ${CMAKE_SOURCE_DIR}/programs/web/*.cpp)
add_executable(quellaro ${WEB_SOURCES})
target_link_libraries(quellaro quellaro_program_common quellaro_game)
target_link_options(quellaro PRIVATE
  -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sEXPORTED_RUNTIME_METHODS=FS,UTF8ToString
  "SHELL:--js-library ${CMAKE_SOURCE_DIR}/platform/web/page_calls.js"
  "SHELL:--js-library ${CMAKE_SOURCE_DIR}/platform/web/audio_calls.js"
  "SHELL:--preload-file ${WEB_ASSETS_DIR}@/")
file(GLOB WEB_SOUND_FILES CONFIGURE_DEPENDS ${WEB_ASSETS_DIR}/sounds/*)
set_property(TARGET quellaro APPEND PROPERTY LINK_DEPENDS ${WEB_ASSET_FILES} ${WEB_SOUND_FILES}
  ${CMAKE_SOURCE_DIR}/platform/web/page_calls.js ${CMAKE_SOURCE_DIR}/platform/web/audio_calls.js)
