# The Win32 backend of the platform layer: the one list of its sources, which platform/
# CMakeLists.txt builds on Windows, and the system libraries it needs beyond the default ones.
# A new file of the backend goes into this list.
set(platform_win32_sources
  # What needs no window of its own: files, the clock, thread priority, the message pump and the
  # executable's path.
  ${CMAKE_CURRENT_LIST_DIR}/Files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessagePump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModulePath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PerformanceCounter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadPriority.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WidePath.cpp
)
# winmm: timeBeginPeriod/timeEndPeriod.
set(platform_win32_libraries winmm)
