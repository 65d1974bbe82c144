// Drives the tool's dialogs as a person would, through the layer's classes, in every build: a
// dialog run modally with checks while it is up, buttons clicked, keys pressed, text typed into
// boxes and read back, the next dialog answered. File dialogs and message boxes can instead be
// answered by a ScriptedDialogs. What a backend must do itself (a callback inside the modal loop,
// input as the system queues it, what a person sees of a window) is in support/<backend>/.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/CDialog.h"
#include "platform/DialogUnits.h"

namespace neutral {

// How a test fails from inside a modal loop: GoogleTest's failure by default; a Qt Test suite
// hands in its own.
using FailureReport = std::function<void(const std::string& message)>;
void ReportToGoogleTest(const std::string& message);

// Runs `dialog` modally and calls `whileShown` once it is up and takes the keyboard (on screen,
// active); a dialog still open afterwards (a check that failed early returns at once) is ended
// with -2, and one that a check leaves waiting (a dialog over it never answered) is closed by a
// watchdog, which fails the test. Returns what DoModal returned.
int RunModal(CDialog& dialog, const std::function<void()>& whileShown,
             const FailureReport& report = ReportToGoogleTest);

// A click on the dialog's control `id`, as the button sends it (the focus stays where it is); an id
// without a control (a menu item) is sent as its command. Handled before it returns.
void Click(CDialog& dialog, int id);

// Puts `text` (UTF-8) into a box, as typing it into the emptied box would leave it.
void Type(CWnd& box, const std::string& text);

// The window text of a window or of the dialog's control `id` ("<no control>" when there is none).
std::string TextOf(const CWnd& window);
std::string TextOf(const CWnd& dialog, int id);

// A rectangle as left, top, width and height: what a test compares and prints.
using Geometry = std::array<int, 4>;
inline Geometry GeometryOf(const RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The keys that a dialog takes.
enum class Key { Escape, Return, KeypadEnter, Space, Tab };

// Presses and releases `key` at the control that has the keyboard focus (at the active window
// when none has it). Handled before it returns, a dialog it opens included.
void PressKey(Key key);

// A click on the close box of `dialog`. Handled before it returns.
void ClickCloseBox(CDialog& dialog);

// Picks `item` in the menu `title` of the dialog's menu bar; false when there is no such item.
// Handled before it returns.
bool ChooseMenuItem(CDialog& dialog, const std::string& title, const std::string& item);

// Answers the next modal window that opens over the one on top now (a dialog or a message box):
// once it is up and takes the keyboard, `answer` runs inside its modal loop with its title, and
// closes it (with a key, a click...). Fails the test when none opens within seconds.
void AnswerNextDialog(std::function<void(const std::string& title)> answer);

// Lets the windows run (messages, painting) until `condition` holds; false when it still does
// not after `limit`.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(5));

// A file beside the test's own executable. The config.inf there, where the main dialog reads it,
// written whole or removed; false when that failed.
std::string PathBesideExecutable(const std::string& name);
bool WriteConfigBesideExecutable(const std::string& content);
bool RemoveConfigBesideExecutable();

// What each backend does for the driver (support/<backend>/DialogDriver.cpp, and for what is
// shown, support/<backend>/ShownWindows.cpp). Rectangles are in the tool's pixels, as the layer's
// own calls take them.
namespace backend {

// Calls `action` once from inside the modal loop that runs next (or is running).
void WhenModalLoopRuns(std::function<void()> action);

// Calls `tick` every `period` from inside whichever loop runs, for as long as the object lives.
class Ticker {
 public:
  virtual ~Ticker() = default;
};
std::unique_ptr<Ticker> Every(std::chrono::milliseconds period, std::function<void()> tick);

// Input as the system queues it: each is handled by the next pump of whichever loop runs.
// The click of a button as the button sends it (none for a disabled one); false when `button` is
// no button.
bool PostClick(CWnd& button);
// A key's press and release, at the focused control, else at the active window.
void PostKey(Key key);
void PostCloseBox(CWnd& window);
// False when the menu bar has no such item.
bool PostMenuCommand(CWnd& dialog, const std::string& title, const std::string& item);

// The window that takes input now: the innermost modal dialog or message box, else the main
// window; none (a null handle) when no window is up.
struct TopWindow {
  const void* handle = nullptr;
  std::string title;
};
TopWindow FindTopWindow();
// Brings that window on screen with the keyboard, as its modal loop does once it has nothing
// else to do; false when it does not get there within seconds.
bool BringUp(const TopWindow& window);
// Ends it at once, as the watchdog does: its close box first (which cancels a run), then
// outright with -3.
void EndTopWindow(const TopWindow& window);

// What a person sees of the layer's windows.
CWnd* FocusedWindow();
bool IsEnabled(const CWnd& window);
bool IsVisible(const CWnd& window);
// Where the window is, as MoveWindow places it: a control in its parent's client area, a dialog's
// outer frame (title bar, menu bar and borders included) on the screen.
RECT PlacementOf(const CWnd& window);
// The client area on the screen, and each title of the dialog's menu bar there, in order.
RECT ClientOnScreen(const CWnd& window);
std::vector<RECT> MenuTitlesOnScreen(const CWnd& dialog);
// The menu bar's entries in order: each title, then its items indented by two spaces ("-" for a
// separator).
std::vector<std::string> MenuEntries(const CWnd& dialog);
// A person can't resize the window: no border to drag, no maximise.
bool HasFixedSize(const CWnd& window);
// The units of the font the dialog's template is laid out in.
platform::DialogBaseUnits BaseUnitsOf(const CWnd& dialog);

// The client area's pixels as they show, freshly painted (0x00BBGGRR, row by row).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};
Picture PictureOf(const CWnd& window);
// The colour of the window's face, which shows where nothing is painted over it.
COLORREF FaceColour(const CWnd& window);

// Calls `changed` after every change of the window's own text (a dialog's caption, a progress
// bar's status line), for as long as the object lives.
class TextWatch {
 public:
  virtual ~TextWatch() = default;
};
std::unique_ptr<TextWatch> WatchText(CWnd& window, std::function<void()> changed);

}  // namespace backend

}  // namespace neutral
