// The gauge and the status text of one long operation, returned to idle however
// the operation ends.
#pragma once

#include <string>

#include "core/ui.h"

namespace missivo {

class ProgressScope {
 public:
  // Shows the gauge at position 0 of 0..`maximum` with `text` in the status panel.
  ProgressScope(UserInterface& ui, int maximum, const std::string& text);
  // Hides the gauge and empties the status text, unless End() already did.
  ~ProgressScope();
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

  void SetPosition(int position) { ui_.SetProgressPosition(position); }
  void End();

 private:
  UserInterface& ui_;
  bool ended_ = false;
};

}  // namespace missivo
