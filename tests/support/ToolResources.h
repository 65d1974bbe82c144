// The tool's own dialog templates, menu and icon registered with the platform layer, as the
// application does at start: for the suites that build the tool's dialogs (they link resources).
#pragma once

#include "platform/DialogTemplate.h"
#include "res/templates.h"

namespace testsupport {

inline void RegisterToolResources() { platform::RegisterResources(res::ToolResources()); }

}  // namespace testsupport
