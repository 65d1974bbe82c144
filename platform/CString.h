// Growing text of single-byte characters, as the dialogs and the configuration pass it around.
#pragma once

#include <string>

using CString = std::string;
