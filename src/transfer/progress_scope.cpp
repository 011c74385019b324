#include "transfer/progress_scope.h"

namespace missivo {

ProgressScope::ProgressScope(UserInterface& ui, int maximum, const std::string& text) : ui_(ui) {
  ui_.ShowProgress(maximum, 0);
  ui_.SetProgressText(text);
}

ProgressScope::~ProgressScope() {
  End();
}

void ProgressScope::End() {
  if (ended_) return;
  ended_ = true;
  ui_.HideProgress();
  ui_.SetProgressText({});
}

}  // namespace missivo
