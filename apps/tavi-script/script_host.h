// The scripting host's command layer: controls on a ScriptPlatform, driven by JSON command
// lines through the dispatch interface and the platform's simulated input, with every
// notification and result written as one JSON line.
#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "shell/control.h"
#include "shell/dispatch.h"
#include "tavi-script/script_platform.h"

namespace tavi::script {

using OrderedJson = nlohmann::ordered_json;

class ScriptHost {
 public:
  // `baseDir` resolves the relative paths of the load command.
  ScriptHost(std::ostream& out, std::filesystem::path baseDir,
             std::unique_ptr<ScriptPlatform> platform);
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  // Runs one line; blank and comment lines are skipped. Returns false when the line
  // could not be parsed (invalid JSON, an unknown command or malformed arguments).
  bool runLine(std::string_view line);

  // Results written with a platform's metrics masked (see maskStateMetrics).
  void setMaskMetrics(bool mask) { maskMetrics_ = mask; }

  // Notification lines raised by the controls, in order.
  void writeEvent(const OrderedJson& line);

 private:
  struct Hosted;
  class BadCommand;

  OrderedJson execute(const nlohmann::json& command);
  OrderedJson dispatchCommand(int32_t dispid, MemberKind kind, const nlohmann::json& command,
                              size_t firstArg);
  OrderedJson safetyCommand(const nlohmann::json& command);
  OrderedJson loadCommand(const nlohmann::json& command);
  int createControl();
  Hosted& current();
  void flushMessageBoxes();
  void writeLine(const OrderedJson& line);

  std::ostream& out_;
  std::filesystem::path baseDir_;
  std::unique_ptr<ScriptPlatform> platform_;  // declared first: outlives the controls
  std::vector<std::unique_ptr<Hosted>> controls_;
  size_t current_ = 0;
  bool maskMetrics_ = false;
};

}  // namespace tavi::script
