// The interface of a settings store: named text values that survive between
// runs, in sections. The fronts keep them in the settings file
// (shell/settings_file.h); tests and tools use the in-memory store below. Keys
// are ASCII, values Windows-1251 text.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace missivo {

// The program's section.
inline constexpr std::string_view kSettingsSection = "Missivo";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  virtual bool ValueExists(const std::string& section, const std::string& key) const = 0;
  // The stored value, or `default_value` when there is none.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& default_value) const = 0;
  virtual void WriteString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
};

// Settings held in memory for one run.
class MemorySettingsStore : public SettingsStore {
 public:
  bool ValueExists(const std::string& section, const std::string& key) const override {
    return values_.contains({section, key});
  }
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& default_value) const override {
    const auto found = values_.find({section, key});
    return found == values_.end() ? default_value : found->second;
  }
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    values_[{section, key}] = value;
  }

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace missivo
