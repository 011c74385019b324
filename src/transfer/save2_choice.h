// What the save dialog `Save2` of the exports remembers between runs of the
// dialog, and which template it chooses. The window holds one for the whole run.
#pragma once

#include <string>

#include "transfer/templates.h"

namespace missivo {

class Save2Choice {
 public:
  // The file types of the default filter ("Str98"): 1 HTML, 2 text.
  static constexpr int kHtmlFileType = 1;
  static constexpr int kTextFileType = 2;

  // The file type the dialog shows when it opens: that of the last confirmed
  // dialog, type 1 at first.
  int FileTypeToShow() const { return file_type_; }

  // The dialog's default extension: "*.html" at first, "*.txt" or "*.html"
  // after the user picks type 2 or type 1.
  const std::string& DefaultExtension() const { return extension_; }

  // The user picked another file type: 1 gives "*.html", 2 gives "*.txt", any
  // other type (a language's filter may list more) leaves the extension.
  void Save2TypeChange(int file_type);

  // The dialog was confirmed with `file_type` selected.
  void Confirmed(int file_type);

  // The dialog was cancelled: the extension returns to that of the last
  // confirmed dialog, so it matches the type shown at the next opening.
  void Cancelled();

  // The template of the export: HTML for "*.html", text for "*.txt". The name
  // the user typed plays no part in it.
  TemplateKind ChosenTemplate() const;

 private:
  int file_type_ = kHtmlFileType;
  std::string extension_ = "*.html";
  std::string confirmed_extension_ = "*.html";
};

}  // namespace missivo
