// The settings types of the serial port: enumerations, their sets, and the
// event-mask bits of the event thread.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace missivo {

// A set of enumeration values (the enumeration's values are small and dense).
template <typename E>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> values) {
    for (E v : values)
      Include(v);
  }

  constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
  constexpr void Include(E v) { bits_ |= Bit(v); }
  constexpr void Exclude(E v) { bits_ &= ~Bit(v); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr std::uint32_t Bits() const { return bits_; }

  constexpr EnumSet operator|(EnumSet other) const { return FromBits(bits_ | other.bits_); }
  constexpr bool operator==(const EnumSet&) const = default;

  static constexpr EnumSet FromBits(std::uint32_t bits) {
    EnumSet s;
    s.bits_ = bits;
    return s;
  }

 private:
  static constexpr std::uint32_t Bit(E v) { return std::uint32_t{1} << static_cast<unsigned>(v); }
  std::uint32_t bits_ = 0;
};

enum class TBaudRate {
  brDefault,
  br50,
  br75,
  br110,
  br150,
  br300,
  br600,
  br1200,
  br1800,
  br2000,
  br2400,
  br3600,
  br4800,
  br7200,
  br9600,
  br10400,
  br14400,
  br15625,
  br19200,
  br28800,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000,
  brCustom,
};

// The rate in bits per second that a fixed rate stands for; 0 for brDefault and brCustom.
std::int32_t BaudRateValue(TBaudRate rate);

enum class TDataBits { dbDefault, db4, db5, db6, db7, db8 };
enum class TParity { paDefault, paNone, paOdd, paEven, paMark, paSpace };
enum class TStopBits { sbDefault, sb1, sb1_5, sb2 };
enum class TDTRControl { dcDefault, dcDisable, dcEnable, dcHandshake };
enum class TRTSControl { rcDefault, rcDisable, rcEnable, rcHandshake, rcToggle };
enum class TXOnXOffControl { xcDefault, xcDisable, xcInput, xcOutput, xcInputOutput };
enum class TPriorityClass { pcDefault, pcIdle, pcNormal, pcHigh, pcRealTime };
enum class TThreadPriority {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical
};
enum class TComAction { caFail, caAbort };

enum class TOption {
  opCheckParity,
  opOutputCTSFlow,
  opOutputDSRFlow,
  opDSRSensitivity,
  opTXContinueOnXOff,
  opUseErrorChar,
  opDiscardNullBytes,
  opAbortOnError,
};
using TOptions = EnumSet<TOption>;

enum class TModemStatusValue { msCTS, msDSR, msRing, msRLSD };
using TModemStatus = EnumSet<TModemStatusValue>;

enum class TLineError {
  leBreak,
  leDeviceNotSelected,
  leFrame,
  leIO,
  leMode,
  leOutOfPaper,
  leOverrun,
  leDeviceTimeOut,
  leRxOverflow,
  leParity,
  leTxFull,
};
using TLineErrors = EnumSet<TLineError>;

// Event-mask bits: one per line event, set when its handler is assigned.
namespace event_mask {
inline constexpr std::uint32_t kRxChar = 1;
inline constexpr std::uint32_t kRxFlag = 2;
inline constexpr std::uint32_t kTxEmpty = 4;
inline constexpr std::uint32_t kCTS = 8;
inline constexpr std::uint32_t kDSR = 16;
inline constexpr std::uint32_t kRLSD = 32;
inline constexpr std::uint32_t kBreak = 64;
inline constexpr std::uint32_t kError = 128;
inline constexpr std::uint32_t kRing = 256;
inline constexpr std::uint32_t kPrinterError = 512;
inline constexpr std::uint32_t kRx80Full = 1024;
inline constexpr std::uint32_t kEvent1 = 2048;
inline constexpr std::uint32_t kEvent2 = 4096;
}  // namespace event_mask

}  // namespace missivo
