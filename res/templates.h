// The tool's dialog templates, menu and icon, for the application to register with the platform
// layer at start (platform::RegisterResources).
#pragma once

#include "platform/DialogTemplate.h"

namespace res {

// The tables, static: they live as long as the program.
platform::Resources ToolResources();

}  // namespace res
