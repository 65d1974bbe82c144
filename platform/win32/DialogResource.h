// The registered dialog templates and menus as the system's own in-memory resources: a dialog
// template that the dialog manager builds the window and its controls from (converting dialog
// units with the template's font itself), and a menu bar.
#pragma once

#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/win32/System.h"

namespace platform::win32 {

// The dialog font: 8 point "MS Shell Dlg", which the system maps to its dialog face.
constexpr WORD kDialogFontPoints = 8;
constexpr const wchar_t* kDialogFontFace = L"MS Shell Dlg";

// A modal frame with a caption and the close box only (no minimise or maximise box), centred
// over its owner, in the dialog font. Painting the dialog leaves its controls alone: a swap of
// the flash panels repaints the panels, not every button and the progress bar with them.
constexpr DWORD kDialogStyle =
    DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

// The extended template (DLGTEMPLATEEX) of `dialog`, with its items, as words: DWORD-aligned
// where the format wants it, ready for DialogBoxIndirectParamW. The template names no menu: the
// dialog sets its menu bar once it exists. `icon` is the resource that Icon items show (an
// ordinal or a name, as MAKEINTRESOURCE gives); null leaves them empty.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog, const wchar_t* icon);

// The menu bar of `menu`, with its popups; the caller owns it (a window it is set on destroys it
// with itself). Null when the system refuses.
HMENU BuildMenu(const MenuTemplate& menu);

// The name of the module's first icon group, the one the desktop shows for the executable; null
// when it has none. An ordinal or a name that lives as long as the module.
const wchar_t* ApplicationIconName();

}  // namespace platform::win32
