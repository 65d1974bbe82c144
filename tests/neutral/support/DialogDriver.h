// Drives the tool's dialogs as a person would, through the layer's classes, in every build: a
// dialog run modally with checks while it is up, buttons clicked, text typed into boxes and read
// back. File dialogs and message boxes are answered by a ScriptedDialogs. What a backend must do
// itself (a callback inside the modal loop, a real button press) is in support/<backend>/.
#pragma once

#include <functional>
#include <string>

#include "platform/CDialog.h"

namespace neutral {

// Runs `dialog` modally and calls `whileShown` once its modal loop runs; a dialog still open
// afterwards (a check that failed early returns at once) is ended with -2. Returns what DoModal
// returned.
int RunModal(CDialog& dialog, const std::function<void()>& whileShown);

// A click on the dialog's control `id`, as the button sends it; an id without a control (a menu
// item) is sent as its command.
void Click(CDialog& dialog, int id);

// Puts `text` (UTF-8) into a box, as typing it into the emptied box would leave it.
void Type(CWnd& box, const std::string& text);

// The window text of a window or of the dialog's control `id` ("<no control>" when there is none).
std::string TextOf(const CWnd& window);
std::string TextOf(const CWnd& dialog, int id);

// The config.inf beside the test's own executable, where the main dialog reads it; written whole,
// or removed. False when that failed.
bool WriteConfigBesideExecutable(const std::string& content);
bool RemoveConfigBesideExecutable();

// What each backend does for the driver (support/<backend>/DialogDriver.cpp).
namespace backend {
// Calls `action` once from inside the modal loop that runs next (or is running).
void WhenModalLoopRuns(std::function<void()> action);
// Presses the button `button` as a click does; false when it is no button.
bool PressButton(CWnd& button);
}  // namespace backend

}  // namespace neutral
