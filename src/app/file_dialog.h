// The open and save dialogs of the window (Save, Save2, Open1): their filter in
// the "description|mask|description|mask" form, the default extension, the
// chosen file and file type. Tests script the outcome of the next Execute()
// instead of showing a dialog.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

class QWidget;

namespace missivo {

// "desc|mask|desc|mask" to Qt name filters, one per pair: "desc (masks)", the
// masks separated by blanks. A description that already ends with its masks in
// parentheses is kept as it is; a trailing description without a mask is dropped.
QStringList ConvertDialogFilter(const QString& filter);

class TFileDialog : public QObject {
  Q_OBJECT

 public:
  enum class Kind { kOpen, kSave };

  TFileDialog(Kind kind, const QString& name, QWidget* owner);

  Kind kind() const { return kind_; }

  // The filter as the language files hold it.
  QString Filter;
  // A default extension such as "*.txt" or "txt": appended to a typed name
  // that has none.
  QString DefaultExt;
  // The chosen file after Execute() returned true; also the name proposed.
  QString FileName;
  // The chosen file type, counted from 1 as the filter pairs are.
  int FilterIndex = 1;
  // The dialog's title; empty for the system's own.
  QString Title;
  // Runs when the user picks another file type, with its index from 1.
  std::function<void(int)> OnTypeChange;

  // Shows the dialog modally, or takes the next scripted outcome. True when a
  // file was chosen.
  bool Execute();

  // Scripting for tests: the next Execute() chooses `file` with file type
  // `filter_index` without showing anything; a type other than the one shown
  // is picked first (OnTypeChange runs).
  void SetNextFile(const QString& file, int filter_index = 1);
  // The next Execute() is cancelled without showing anything.
  void SetNextCancel();
  // Scripted mode: the dialog is never shown; with no scripted outcome left,
  // Execute() is cancelled.
  void SetScripted(bool scripted) { scripted_ = scripted; }

 private:
  struct Scripted {
    std::optional<QString> file;
    int filter_index = 1;
  };

  QString WithDefaultExtension(const QString& file) const;

  Kind kind_;
  QWidget* owner_;
  std::deque<Scripted> script_;
  bool scripted_ = false;
};

}  // namespace missivo
