// tavi-script --platform web: the browser platform's controls (platforms/web), driven
// through the entry points a page calls, in the parts a browser delivers a person's input.
#pragma once

#include <memory>

#include "tavi-script/script_platform.h"

namespace tavi::script {

std::unique_ptr<ScriptPlatform> makeWebPlatform();

}  // namespace tavi::script
