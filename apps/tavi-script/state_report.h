// The state reports of tavi-script: what a control and its widgets hold, as JSON.
#pragma once

#include <nlohmann/json.hpp>

#include "shell/control.h"
#include "tavi-script/script_platform.h"

namespace tavi::script {

// The platform's widgets, then the core's own state (coreStateOf): journals, switches and
// flags.
nlohmann::ordered_json stateOf(const WidgetReport& widgets, const nlohmann::ordered_json& core);
nlohmann::ordered_json formatsOf(const std::vector<FormatRun>& runs);
nlohmann::ordered_json gutterOf(const std::optional<GutterReport>& gutter);
nlohmann::ordered_json menuItemsOf(const MenuReport& menu);
nlohmann::ordered_json printoutOf(const PrintoutReport& printout);

// Writes "metric" in place of the values that are a platform's metrics (pixel positions and
// sizes, rows in view and so the first visible line, the gutter's drawing and its system
// colours), so that outputs of two platforms compare.
void maskStateMetrics(nlohmann::ordered_json& state);
void maskGutterMetrics(nlohmann::ordered_json& gutter);

}  // namespace tavi::script
