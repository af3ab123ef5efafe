// The headless message boxes: each box is recorded for the host to read and answered at
// once with OK.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/widgets/environment.h"

namespace tavi {

struct RecordedMessageBox {
  Text text;
  int32_t style = 0;
  Text title;
};

namespace headless {
inline constexpr int kIdOk = 1;  // the OK button
}  // namespace headless

class HeadlessMessageBoxes final : public MessageBoxes {
 public:
  int show(TextView text, int32_t style, TextView title) override;

  const std::vector<RecordedMessageBox>& pending() const { return pending_; }
  // The boxes shown since the last drain, oldest first; the record is emptied.
  std::vector<RecordedMessageBox> drain();

 private:
  std::vector<RecordedMessageBox> pending_;
};

}  // namespace tavi
