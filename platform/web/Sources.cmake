# The web backend of the platform layer (a browser, built with Emscripten): the one list of its
# sources, which platform/CMakeLists.txt builds when UP_PLATFORM_BACKEND is web, the page's scripts
# that the program links (js/), and the page's folder (up_web_site). A new file of the backend goes
# into these lists. Its helpers live in namespace platform::web.
set(platform_backend_sources
  # What needs no window: files, the message pump, frames, the screen's wake lock, the
  # executable's path and the command line (a page has none).
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameClock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessagePump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModulePath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PostCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadPriority.cpp
  # Dialogs, controls and painting, as the page's elements.
  ${CMAKE_CURRENT_LIST_DIR}/AfxMessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppIdentity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CFileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Icon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageWindows.cpp
)
# The page's side of the backend (platform/web/Page.h declares what the program calls of it).
set(platform_web_scripts
  ${CMAKE_CURRENT_LIST_DIR}/js/boxes.js
  ${CMAKE_CURRENT_LIST_DIR}/js/controls.js
  ${CMAKE_CURRENT_LIST_DIR}/js/files.js
  ${CMAKE_CURRENT_LIST_DIR}/js/menu.js
  ${CMAKE_CURRENT_LIST_DIR}/js/paint.js
  ${CMAKE_CURRENT_LIST_DIR}/js/pump.js
  ${CMAKE_CURRENT_LIST_DIR}/js/windows.js
)

add_library(platform_backend OBJECT ${platform_backend_sources})
target_include_directories(platform_backend PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
target_link_libraries(platform_backend PRIVATE project_warnings)
target_sources(platform PRIVATE $<TARGET_OBJECTS:platform_backend>)

# Every program that links the layer links the page's scripts with it. The dialogs' modal loops
# suspend the program while the page runs (Asyncify; up_wait is the one call that suspends; the
# nested loops of a run keep a deep stack). No code is ever made from text (no eval), and the
# memory grows as a large file needs it.
set(platform_web_link_options
  -sASYNCIFY
  -sASYNCIFY_IMPORTS=up_wait
  -sASYNCIFY_STACK_SIZE=65536
  -sDYNAMIC_EXECUTION=0
  -sALLOW_MEMORY_GROWTH=1
)
foreach(script ${platform_web_scripts})
  list(APPEND platform_web_link_options "SHELL:--js-library ${script}")
endforeach()
target_link_options(platform INTERFACE ${platform_web_link_options})
set_property(GLOBAL PROPERTY UP_WEB_SCRIPTS ${platform_web_scripts})

# The program's entry, linked into the executable only.
add_library(platform_main OBJECT ${CMAKE_CURRENT_LIST_DIR}/WinMain.cpp)
target_link_libraries(platform_main PRIVATE platform project_warnings)

# The page's folder, `site/` in the build: index.html and its style, the program's .js and .wasm,
# the device makers' README.txt, and (from app/) the example config.inf. The program runs in a
# browser only, and fetches config.inf before it starts (js/pre.js); the page watches its display's
# frame rate (js/display-rate.js).
function(up_web_site target)
  set(site ${PROJECT_BINARY_DIR}/site)
  set(pre ${PROJECT_SOURCE_DIR}/platform/web/js/pre.js)
  set(rate ${PROJECT_SOURCE_DIR}/platform/web/js/display-rate.js)
  get_property(scripts GLOBAL PROPERTY UP_WEB_SCRIPTS)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site}
                        LINK_DEPENDS "${scripts};${pre};${rate}")
  target_link_options(${target} PRIVATE -sENVIRONMENT=web "SHELL:--pre-js ${pre}"
                      "SHELL:--pre-js ${rate}")
  # Copied whenever one of them changes, not only when the program is linked again.
  set(sources "")
  set(copies "")
  foreach(file index.html page.css README.txt)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/platform/web/site/${file})
    list(APPEND copies ${site}/${file})
  endforeach()
  add_custom_command(OUTPUT ${copies}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
                     COMMAND ${CMAKE_COMMAND} -E copy ${sources} ${site}
                     DEPENDS ${sources} VERBATIM)
  add_custom_target(${target}_site_files ALL DEPENDS ${copies})
  add_dependencies(${target} ${target}_site_files)
endfunction()
