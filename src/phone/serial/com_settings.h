// The four setting groups of the serial port. Each is owned by its port; a field
// changed to a different value is written into the open device at once (its whole
// group), and only stored while the port is closed.
#pragma once

#include <cstdint>

#include "phone/serial/com_types.h"

namespace missivo {

class TCustomComPort;

// Which group of settings a change belongs to.
enum class ComSettingGroup { kLine, kBufferSizes, kTimeouts };

// Common part: the back reference and the re-apply call.
class TComSettings {
 public:
  explicit TComSettings(TCustomComPort& port) : port_(port) {}
  TComSettings(const TComSettings&) = delete;
  TComSettings& operator=(const TComSettings&) = delete;
  TCustomComPort& Port() const { return port_; }

 protected:
  // Stores `value` into `field` and re-applies `group` when it differs.
  template <typename T>
  void Change(T& field, T value, ComSettingGroup group) {
    if (field == value) return;
    field = value;
    Reapply(group);
  }

 private:
  void Reapply(ComSettingGroup group);
  TCustomComPort& port_;
};

// Hardware and software flow control (line settings).
class TFlowControl : public TComSettings {
 public:
  using TComSettings::TComSettings;
  TDTRControl DTR() const { return dtr_; }
  void SetDTR(TDTRControl v) { Change(dtr_, v, ComSettingGroup::kLine); }
  TRTSControl RTS() const { return rts_; }
  void SetRTS(TRTSControl v) { Change(rts_, v, ComSettingGroup::kLine); }
  TXOnXOffControl XOnXOff() const { return xon_xoff_; }
  void SetXOnXOff(TXOnXOffControl v) { Change(xon_xoff_, v, ComSettingGroup::kLine); }
  std::uint16_t XOnLimit() const { return xon_limit_; }
  void SetXOnLimit(std::uint16_t v) { Change(xon_limit_, v, ComSettingGroup::kLine); }
  std::uint16_t XOffLimit() const { return xoff_limit_; }
  void SetXOffLimit(std::uint16_t v) { Change(xoff_limit_, v, ComSettingGroup::kLine); }

 private:
  TDTRControl dtr_ = TDTRControl::dcDefault;
  TRTSControl rts_ = TRTSControl::rcDefault;
  TXOnXOffControl xon_xoff_ = TXOnXOffControl::xcDefault;
  std::uint16_t xon_limit_ = 0;
  std::uint16_t xoff_limit_ = 0;
};

// Special characters (line settings).
class TCharacters : public TComSettings {
 public:
  using TComSettings::TComSettings;
  char XOn() const { return xon_; }
  void SetXOn(char v) { Change(xon_, v, ComSettingGroup::kLine); }
  char XOff() const { return xoff_; }
  void SetXOff(char v) { Change(xoff_, v, ComSettingGroup::kLine); }
  char Error() const { return error_; }
  void SetError(char v) { Change(error_, v, ComSettingGroup::kLine); }
  char Eof() const { return eof_; }
  void SetEof(char v) { Change(eof_, v, ComSettingGroup::kLine); }
  char Event() const { return event_; }
  void SetEvent(char v) { Change(event_, v, ComSettingGroup::kLine); }

 private:
  char xon_ = 17;
  char xoff_ = 19;
  char error_ = 0;
  char eof_ = 0;
  char event_ = 0;
};

// Queue sizes in bytes. Input is the size of the port's own receive buffer (the
// most one system call reads); the kernel keeps its own queues, so Output is
// only stored.
class TBufferSizes : public TComSettings {
 public:
  using TComSettings::TComSettings;
  std::int32_t Input() const { return input_; }
  void SetInput(std::int32_t v) { Change(input_, v, ComSettingGroup::kBufferSizes); }
  std::int32_t Output() const { return output_; }
  void SetOutput(std::int32_t v) { Change(output_, v, ComSettingGroup::kBufferSizes); }

 private:
  std::int32_t input_ = 4096;
  std::int32_t output_ = 2048;
};

// Time-outs in milliseconds for Read and Write. A read of n bytes may take at
// most ReadMultiplier * n + ReadConstant, and at most ReadInterval between two
// bytes once the first has come; a write WriteMultiplier * n + WriteConstant.
// Zero means no limit of that kind; all zero means wait until every byte has
// come or gone. ReadInterval -1 with both read totals 0 returns at once with what
// has arrived.
class TTimeouts : public TComSettings {
 public:
  using TComSettings::TComSettings;
  std::int32_t ReadInterval() const { return read_interval_; }
  void SetReadInterval(std::int32_t v) { Change(read_interval_, v, ComSettingGroup::kTimeouts); }
  std::int32_t ReadMultiplier() const { return read_multiplier_; }
  void SetReadMultiplier(std::int32_t v) {
    Change(read_multiplier_, v, ComSettingGroup::kTimeouts);
  }
  std::int32_t ReadConstant() const { return read_constant_; }
  void SetReadConstant(std::int32_t v) { Change(read_constant_, v, ComSettingGroup::kTimeouts); }
  std::int32_t WriteMultiplier() const { return write_multiplier_; }
  void SetWriteMultiplier(std::int32_t v) {
    Change(write_multiplier_, v, ComSettingGroup::kTimeouts);
  }
  std::int32_t WriteConstant() const { return write_constant_; }
  void SetWriteConstant(std::int32_t v) { Change(write_constant_, v, ComSettingGroup::kTimeouts); }

 private:
  std::int32_t read_interval_ = 0;
  std::int32_t read_multiplier_ = 0;
  std::int32_t read_constant_ = 0;
  std::int32_t write_multiplier_ = 0;
  std::int32_t write_constant_ = 0;
};

}  // namespace missivo
