// The inspection results of tavi-script: what a control and its widgets hold.
#pragma once

#include <nlohmann/json.hpp>

#include "headless/control.h"
#include "headless/printer_system.h"
#include "shell/control.h"

namespace tavi::script {

nlohmann::ordered_json stateOf(const TaviColorText& control, HeadlessControl& widgets,
                               const HeadlessScreen& screen);
nlohmann::ordered_json formatsOf(const HeadlessEditSurface& surface);
nlohmann::ordered_json gutterOf(const HeadlessGutterCanvas& gutter);
nlohmann::ordered_json menuItemsOf(const HeadlessPopupMenu& menu);
// The documents printed since the last call (and one still open, with "ended" false) and
// the records given to the last print dialog.
nlohmann::ordered_json printoutOf(HeadlessPrinterSystem& printers);

}  // namespace tavi::script
