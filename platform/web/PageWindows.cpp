#include "platform/web/PageWindows.h"

#include <unordered_map>

#include "platform/web/Page.h"

namespace platform::web {

namespace {

struct Entry {
  CWnd* window = nullptr;
  std::function<void(int)> command;
  std::function<void()> painter;
};

std::unordered_map<int, Entry>& Entries() {
  static std::unordered_map<int, Entry> entries;
  return entries;
}

}  // namespace

int HandleOf(const CWnd& window) { return window.GetImpl().handle; }

int HandleOf(const CWnd* window) { return window ? HandleOf(*window) : 0; }

void Attach(CWnd& window, int handle, int id) {
  CWnd::Impl& impl = window.GetImpl();
  impl.handle = handle;
  impl.id = id;
  Entries()[handle].window = &window;
}

CWnd* FromHandle(int handle) {
  const auto found = Entries().find(handle);
  return found == Entries().end() ? nullptr : found->second.window;
}

void DestroyWindowOf(CWnd& window) {
  CWnd::Impl& impl = window.GetImpl();
  const int handle = impl.handle;
  if (handle == 0) return;
  impl.handle = 0;
  Forget(handle);
  up_window_destroy(handle);
}

void SetCommandSink(int handle, std::function<void(int id)> sink) {
  Entries()[handle].command = std::move(sink);
}

void SetPainter(int handle, std::function<void()> painter) {
  Entries()[handle].painter = std::move(painter);
}

void Forget(int handle) { Entries().erase(handle); }

// Copies of the handlers run: a command may end the dialog and destroy its window, entry and all.
void DeliverCommand(int handle, int id) {
  const auto found = Entries().find(handle);
  if (found == Entries().end() || !found->second.command) return;
  const std::function<void(int)> sink = found->second.command;
  sink(id);
}

void DeliverPaint(int handle) {
  const auto found = Entries().find(handle);
  if (found == Entries().end() || !found->second.painter) return;
  const std::function<void()> painter = found->second.painter;
  painter();
}

}  // namespace platform::web
