# The Qt backend of the platform layer (Linux): the one list of its sources, which platform/
# CMakeLists.txt builds when UP_PLATFORM_BACKEND is qt. A new file of the backend goes into this
# list. Its helpers live in namespace platform::qt.
set(platform_backend_sources
  # What needs no window: the system's files and scheduling (POSIX), the message pump and the
  # executable's path.
  ${CMAKE_CURRENT_LIST_DIR}/../posix/Files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../posix/ThreadPriority.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessagePump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModulePath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PostCommand.cpp
  # Windows, dialogs, controls and painting.
  ${CMAKE_CURRENT_LIST_DIR}/AfxMessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppIdentity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CFileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProgressCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CStatic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogLook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameClock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaylandSeat.cpp
)
add_library(platform_backend OBJECT ${platform_backend_sources})
target_include_directories(platform_backend PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
# libwayland's client library asks a Wayland compositor, if any, whether it has a seat before the
# toolkit connects (WaylandSeat.cpp).
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
target_link_libraries(platform_backend PRIVATE Qt6::Widgets PkgConfig::WAYLAND_CLIENT
                                               project_warnings)
target_sources(platform PRIVATE $<TARGET_OBJECTS:platform_backend>)
# Private: the tool's code compiles without Qt's headers. Code that uses the Qt backend's own
# headers (platform/qt/, the tests) links Qt itself.
target_link_libraries(platform PRIVATE Qt6::Widgets PkgConfig::WAYLAND_CLIENT)

# The program's entry, linked into the executable only.
add_library(platform_main OBJECT ${CMAKE_CURRENT_LIST_DIR}/WinMain.cpp)
target_link_libraries(platform_main PRIVATE platform Qt6::Widgets project_warnings)
