#include "store/program_lock.h"

#include <utility>
#include <vector>

#include "core/atomic_file.h"
#include "store/container.h"
#include "store/list_file.h"
#include "text/lines.h"

namespace missivo {
namespace {

void ShowFailure(const Status& status, UserInterface& ui) {
  if (!status.ok()) ui.ShowMessage(status.message(), MessageKind::kError);
}

}  // namespace

std::string PasswordRecordText(const PasswordDialogFields& fields) {
  const bool keep = !fields.answer.empty();
  return JoinCrLf({keep ? fields.old_password : std::string(),
                   keep ? fields.new_password : std::string(),
                   keep ? fields.repeated : std::string(), fields.answer, fields.question});
}

Status WritePasswordRecord(const std::filesystem::path& path, const PasswordDialogFields& fields) {
  return WriteSealedFile(path, PasswordRecordText(fields), fields.answer);
}

PasswordDialogResult PasswordDialogOk(LockState& state, const PasswordDialogFields& fields,
                                      const std::filesystem::path& password_file,
                                      const LanguageLines& language, UserInterface& ui) {
  if (fields.old_password != state.password) {
    ui.ShowMessage(language.LangText("Str109"), MessageKind::kError);
    return PasswordDialogResult::kWrongOldPassword;
  }
  if (fields.new_password.empty() || fields.repeated.empty()) {
    ui.ShowMessage(language.LangText("Str108"), MessageKind::kInformation);
    state.locked = false;
    WipeString(state.password);
    ShowFailure(RemoveFile(password_file), ui);
    return PasswordDialogResult::kRemoved;
  }
  if (fields.new_password != fields.repeated) {
    ui.ShowMessage(language.LangText("Str106"), MessageKind::kError);
    return PasswordDialogResult::kMismatch;
  }
  ui.ShowMessage(language.LangText("Str107"), MessageKind::kInformation);
  state.locked = true;
  WipeString(state.password);
  state.password = fields.new_password;
  ShowFailure(WritePasswordRecord(password_file, fields), ui);
  return PasswordDialogResult::kSet;
}

Status LockAtExit(const LockState& state, const DataFiles& files, UserInterface& ui) {
  Status first;
  if (!state.locked) return first;
  for (const std::filesystem::path* path : {&files.archive, &files.phonebook}) {
    // Every save writes the locked form; only a file left in the other form
    // (the password was set since it was written) gets the layer here.
    const Result<bool> locked = CarriesOuterLayer(*path);
    if (!FileExists(*path) || (locked.ok() && locked.value())) continue;
    Status status = EncryptInPlaceWith(*path, state.password);
    ShowFailure(status, ui);
    if (first.ok()) first = std::move(status);
  }
  return first;
}

UnlockResult UnlockAtStart(LockState& state, const DataFiles& files, PasswordPrompt& prompt,
                           const LanguageLines& language, UserInterface& ui) {
  std::optional<std::string> typed = prompt.AskPassword(language.LangText("Str51"));
  if (!typed) {
    state.terminate = true;
    return UnlockResult::kCancelled;
  }
  const ScopedWipe wipe_typed(*typed);

  std::vector<const std::filesystem::path*> locked;
  if (state.phonebook_needs_password && FileExists(files.phonebook)) {
    locked.push_back(&files.phonebook);
  }
  if (state.archive_needs_password && FileExists(files.archive)) locked.push_back(&files.archive);

  bool all_open = true;
  for (const std::filesystem::path* path : locked) {
    Result<std::string> inner = UnsealFile(*path, *typed);
    if (!inner.ok()) {
      ShowFailure(inner.status(), ui);
      state.terminate = true;
      return UnlockResult::kFileError;
    }
    Result<std::string> plain = UnsealBytes(std::move(inner).value(), kFixedPassphrase);
    all_open = all_open && plain.ok() && StartsWithListFileMagic(plain.value());
    if (plain.ok()) WipeString(plain.value());
  }
  if (!all_open) {
    ui.ShowMessage(language.LangText("Str100"), MessageKind::kError);
    state.terminate = true;
    return UnlockResult::kWrongPassword;
  }

  // The layers come off in memory only, at every load: the files stay locked.
  state.terminate = false;
  state.locked = true;
  WipeString(state.password);
  state.password = *typed;
  return UnlockResult::kUnlocked;
}

Result<bool> CarriesOuterLayer(const std::filesystem::path& path) {
  if (!FileExists(path)) return false;
  const Result<std::string> plain = UnsealFile(path, kFixedPassphrase);
  if (!plain.ok()) return plain.status();
  return !StartsWithListFileMagic(plain.value());
}

std::vector<Status> ProbeDataFiles(const DataFiles& files, LockState& state) {
  std::vector<Status> failures;
  for (const std::filesystem::path* path : {&files.archive, &files.phonebook}) {
    const Result<bool> sealed = SealIfPlainListFile(*path);
    if (!sealed.ok()) failures.push_back(sealed.status());
  }
  const struct {
    const std::filesystem::path* path;
    bool* flag;
  } probes[] = {{&files.phonebook, &state.phonebook_needs_password},
                {&files.archive, &state.archive_needs_password}};
  for (const auto& probe : probes) {
    const Result<bool> locked = CarriesOuterLayer(*probe.path);
    *probe.flag = locked.ok() && locked.value();
    if (!locked.ok()) failures.push_back(locked.status());
  }
  return failures;
}

}  // namespace missivo
