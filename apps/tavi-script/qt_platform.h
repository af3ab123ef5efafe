// tavi-script on the Qt platform: each control is a TaviColorTextWidget in one host window
// on Qt's offscreen platform, driven by real key, input-method and mouse events.
#pragma once

#include <memory>

#include "tavi-script/script_platform.h"

class QApplication;

namespace tavi::script {

// The QApplication the Qt platform needs, on Qt's offscreen platform unless
// QT_QPA_PLATFORM names another. It sees only the program's name: tavi-script's own
// options are no Qt options.
class QtApplicationScope {
 public:
  explicit QtApplicationScope(char* programName);
  ~QtApplicationScope();
  QtApplicationScope(const QtApplicationScope&) = delete;
  QtApplicationScope& operator=(const QtApplicationScope&) = delete;

 private:
  int argc_ = 1;
  char* argv_[2];
  std::unique_ptr<QApplication> application_;
};

// Needs a QApplication on the thread.
std::unique_ptr<ScriptPlatform> makeQtPlatform();

}  // namespace tavi::script
