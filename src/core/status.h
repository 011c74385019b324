// Outcomes of operations that can fail, as values: success, or a message that
// says what went wrong and names the file it concerns.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace missivo {

// Success, or a failure with its message (Windows-1251, ready to be shown).
// A Status returned by a call must be looked at; `(void)` marks the places
// where a failure is deliberately left alone, with a comment saying why.
class [[nodiscard]] Status {
 public:
  Status() = default;  // success

  static Status Failure(std::string message) {
    Status status;
    status.failed_ = true;
    status.message_ = std::move(message);
    return status;
  }

  bool ok() const { return !failed_; }
  const std::string& message() const { return message_; }

 private:
  bool failed_ = false;
  std::string message_;
};

// A value, or the failure that kept it from being made; never dropped unseen.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Status failure)                         // NOLINT: implicit by design
      : failure_(failure.ok() ? Status::Failure("no value was made") : std::move(failure)) {}

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return failure_; }
  const std::string& message() const { return failure_.message(); }

  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }

 private:
  std::optional<T> value_;
  Status failure_;
};

}  // namespace missivo
