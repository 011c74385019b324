#include "transfer/save2_choice.h"

namespace missivo {

void Save2Choice::Save2TypeChange(int file_type) {
  if (file_type == kTextFileType) extension_ = "*.txt";
  if (file_type == kHtmlFileType) extension_ = "*.html";
}

void Save2Choice::Confirmed(int file_type) {
  Save2TypeChange(file_type);
  file_type_ = file_type;
  confirmed_extension_ = extension_;
}

void Save2Choice::Cancelled() {
  extension_ = confirmed_extension_;
}

TemplateKind Save2Choice::ChosenTemplate() const {
  return extension_ == "*.txt" ? TemplateKind::kText : TemplateKind::kHtml;
}

}  // namespace missivo
