// The dialog font and face of the Qt backend, and the dialog units measured in that font.
#pragma once

#include <QFont>
#include <QPalette>

#include "platform/DialogUnits.h"

namespace platform::qt {

DialogBaseUnits BaseUnitsOf(const QFont& font);

// The dialog font, which every control of a dialog uses and whose units place them: a sans face
// standing in for the template's, at a fixed size in pixels, so that display scaling (the
// toolkit's device pixel ratio) scales it with everything else and the desktop's choice of font
// or font resolution does not. 12 pixels is the size of the toolkit's default font at 96 dots
// per inch: the windows keep the size and look they have with a desktop's default font.
QFont DialogFont();

// The classic light dialog face (light grey, black text), under any desktop theme: the design
// fixes the colours of the flash panels and the progress bar's text, which need a light ground,
// and one face for every window keeps the tool consistent.
QPalette ClassicPalette();

// Makes the classic face and the toolkit's own style the application's, for the windows that the
// toolkit builds itself (message boxes, file dialogs, menus). Call once, after the application
// object exists.
void UseClassicLook();

}  // namespace platform::qt
