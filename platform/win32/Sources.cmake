# The Win32 backend of the platform layer (Windows): the one list of its sources, which platform/
# CMakeLists.txt builds when UP_PLATFORM_BACKEND is win32, and the system libraries it needs
# beyond the default ones. A new file of the backend goes into this list. Its helpers live in
# namespace platform::win32.
set(platform_backend_sources
  # What needs no window of its own: files, thread priority, the message pump and the
  # executable's path. (The performance counter is the layer's shared one: the standard steady
  # clock, which is the system's performance counter here.)
  ${CMAKE_CURRENT_LIST_DIR}/Files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessagePump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModulePath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadPriority.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WidePath.cpp
  # Windows, dialogs, controls and painting.
  ${CMAKE_CURRENT_LIST_DIR}/AfxMessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppIdentity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CFileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProgressCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CStatic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogResource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PostCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dpi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameClock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DwmFrames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WideText.cpp
)
# dwmapi: the compositor's frame timing. winmm: timeBeginPeriod/timeEndPeriod. comctl32: the
# progress bar and window subclassing; comdlg32: the file dialogs; shell32, ole32 and uuid: the
# Documents folder, the application id and the command line's arguments; gdi32: painting.
set(platform_win32_libraries dwmapi winmm comctl32 comdlg32 shell32 ole32 uuid gdi32)

add_library(platform_backend OBJECT ${platform_backend_sources})
target_include_directories(platform_backend PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
target_link_libraries(platform_backend PRIVATE project_warnings)
target_sources(platform PRIVATE $<TARGET_OBJECTS:platform_backend>)
target_link_libraries(platform PUBLIC ${platform_win32_libraries})

# The program's entry (wWinMain), linked into the executable only.
add_library(platform_main OBJECT ${CMAKE_CURRENT_LIST_DIR}/WinMain.cpp)
target_link_libraries(platform_main PRIVATE platform project_warnings)
