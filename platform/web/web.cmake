# The browser build, included by CMakeLists.txt under emcmake: the game as a web page, and the
# headless runner for the browser (runner.html), which plays a script and shows its state
# lines. No fast-math here (nor anywhere): the browser must round every float as the desktop
# does, pass for pass.
#
# The page a server serves is the folder dist/ (make_dist.mjs): only what the page needs,
# every file named by its content's hash. The game's own output (quellaro.js, .wasm), the
# runner and its data stay beside it, for the tests.

set(WEB_ASSETS_DIR ${CMAKE_SOURCE_DIR}/assets)
file(GLOB WEB_ASSET_FILES LIST_DIRECTORIES false CONFIGURE_DEPENDS ${WEB_ASSETS_DIR}/*)

# The runner finds its pictures and sounds in the packed /assets folder and the committed play
# scripts in /scripts; runner.js starts it with the page's arguments.
file(GLOB WEB_SCRIPT_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scripts/*.txt)
set_property(TARGET quellaro-headless PROPERTY COMPILE_DEFINITIONS QUELLARO_ASSETS_DIR="/assets")
target_link_options(quellaro-headless PRIVATE
  -sENVIRONMENT=web -sMODULARIZE=1 -sEXPORT_NAME=createRunner -sINVOKE_RUN=0
  -sEXPORTED_RUNTIME_METHODS=callMain,FS -sALLOW_MEMORY_GROWTH=1
  "SHELL:--preload-file ${WEB_ASSETS_DIR}@/assets"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/tests/scripts@/scripts")
set_property(TARGET quellaro-headless APPEND PROPERTY LINK_DEPENDS ${WEB_ASSET_FILES} ${WEB_SCRIPT_FILES})

# The runner's page, beside it.
set(WEB_PAGE_DIR ${CMAKE_SOURCE_DIR}/platform/web/page)
add_custom_target(web_runner_page ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${WEB_PAGE_DIR}/runner.html ${WEB_PAGE_DIR}/runner.js
    ${CMAKE_BINARY_DIR}
  DEPENDS ${WEB_PAGE_DIR}/runner.html ${WEB_PAGE_DIR}/runner.js
  COMMENT "Copying the runner's page")

# The game: the browser backend, the settings' plain code it shares with the desktop, the
# game library, and the sound effects' rendering. The page downloads the pictures itself
# (page/loader.js) and the program renders the sounds, so nothing is packed in.
file(GLOB WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/common/*.cpp ${CMAKE_SOURCE_DIR}/programs/web/*.cpp)
set(WEB_SETTINGS_SOURCES platform/sdl/settings.cpp platform/sdl/keymap.cpp platform/sdl/gamepad.cpp
  platform/sdl/letterbox.cpp platform/sdl/parse.cpp platform/sdl/files.cpp)
list(TRANSFORM WEB_SETTINGS_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
# The runs recorded as the desktop records them, for links to the last one, and their panels.
list(APPEND WEB_SETTINGS_SOURCES ${CMAKE_SOURCE_DIR}/programs/desktop/run_keeper.cpp
  ${CMAKE_SOURCE_DIR}/programs/desktop/kept_runs.cpp
  ${CMAKE_SOURCE_DIR}/programs/desktop/run_panels.cpp)
set(WEB_JS_LIBRARIES page_calls.js display_calls.js audio_calls.js)
list(TRANSFORM WEB_JS_LIBRARIES PREPEND ${CMAKE_SOURCE_DIR}/platform/web/)
add_executable(quellaro ${WEB_SOURCES} ${WEB_SETTINGS_SOURCES})
target_link_libraries(quellaro quellaro_program_common quellaro_sfx quellaro_game)
target_link_options(quellaro PRIVATE
  -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1
  -sEXPORTED_RUNTIME_METHODS=FS,UTF8ToString,addRunDependency,removeRunDependency)
foreach(library ${WEB_JS_LIBRARIES})
  target_link_options(quellaro PRIVATE "SHELL:--js-library ${library}")
endforeach()
set_property(TARGET quellaro APPEND PROPERTY LINK_DEPENDS ${WEB_JS_LIBRARIES})

# The folder to serve: dist/.
find_program(WEB_NODE NAMES node nodejs REQUIRED)
file(GLOB WEB_PAGE_FILES CONFIGURE_DEPENDS ${WEB_PAGE_DIR}/*)
set(WEB_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
add_custom_command(OUTPUT ${WEB_DIST_DIR}/index.html
  COMMAND ${WEB_NODE} ${CMAKE_SOURCE_DIR}/platform/web/make_dist.mjs --game ${CMAKE_BINARY_DIR}
    --page ${WEB_PAGE_DIR} --assets ${WEB_ASSETS_DIR} --out ${WEB_DIST_DIR}
  DEPENDS quellaro ${CMAKE_SOURCE_DIR}/platform/web/make_dist.mjs ${WEB_PAGE_FILES}
    ${WEB_ASSET_FILES}
  COMMENT "Making the page's folder (dist/)")
add_custom_target(web_dist ALL DEPENDS ${WEB_DIST_DIR}/index.html)
