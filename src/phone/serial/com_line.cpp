// Line settings (termios), modem lines, line errors and the dispatch of line
// events of the serial port.
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>

#include "phone/serial/com_port.h"
#include "phone/serial/serial_speed.h"

namespace missivo {

namespace {

bool NoModemLines(int errno_value) {
  return errno_value == ENOTTY || errno_value == EINVAL;
}

}  // namespace

void TCustomComPort::ApplyLineSettings() {
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) DeviceFailed(errno);

  // Raw bytes both ways: no line editing, echo, signals or character mapping.
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXANY | IMAXBEL | IUCLC);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag |= CREAD | CLOCAL;
  t.c_cc[VMIN] = 1;  // so that a read of 0 bytes means a hang-up
  t.c_cc[VTIME] = 0;

  switch (data_bits_) {
    case TDataBits::dbDefault:
      break;
    case TDataBits::db4:
      RaiseErrno(EINVAL);  // no 4-bit bytes on this platform
    case TDataBits::db5:
    case TDataBits::db6:
    case TDataBits::db7:
    case TDataBits::db8: {
      static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
      t.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
      t.c_cflag |= kSizes[static_cast<int>(data_bits_) - static_cast<int>(TDataBits::db5)];
      break;
    }
  }
  if (parity_ != TParity::paDefault) {
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
    switch (parity_) {
      case TParity::paOdd:
        t.c_cflag |= PARENB | PARODD;
        break;
      case TParity::paEven:
        t.c_cflag |= PARENB;
        break;
      case TParity::paMark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
      case TParity::paSpace:
        t.c_cflag |= PARENB | CMSPAR;
        break;
      case TParity::paDefault:
      case TParity::paNone:
        break;
    }
  }
  if (stop_bits_ == TStopBits::sb1) t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
  // Two stop bits; with 5-bit bytes the driver sends one and a half.
  if (stop_bits_ == TStopBits::sb1_5 || stop_bits_ == TStopBits::sb2) t.c_cflag |= CSTOPB;

  t.c_cc[VSTART] = static_cast<cc_t>(characters_.XOn());
  t.c_cc[VSTOP] = static_cast<cc_t>(characters_.XOff());
  const TXOnXOffControl xon_xoff = flow_control_.XOnXOff();
  if (xon_xoff != TXOnXOffControl::xcDefault) {
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    // Input flow control: we send XOFF when our queue fills; output: we obey it.
    if (xon_xoff == TXOnXOffControl::xcInput || xon_xoff == TXOnXOffControl::xcInputOutput) {
      t.c_iflag |= IXOFF;
    }
    if (xon_xoff == TXOnXOffControl::xcOutput || xon_xoff == TXOnXOffControl::xcInputOutput) {
      t.c_iflag |= IXON;
    }
  }
  // CTS output flow and RTS handshake are one flag here.
  if (options_.Contains(TOption::opOutputCTSFlow) ||
      flow_control_.RTS() == TRTSControl::rcHandshake) {
    t.c_cflag |= CRTSCTS;
  } else {
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
  }
  if (options_.Contains(TOption::opCheckParity)) {
    t.c_iflag |= INPCK;
  } else {
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
  }
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) DeviceFailed(errno);

  if (baud_rate_ != TBaudRate::brDefault) {
    const std::int32_t rate = CustomBaudRate();
    if (rate <= 0) RaiseErrno(EINVAL);
    if (const int error = SetLineSpeed(fd_, static_cast<std::uint32_t>(rate)); error != 0) {
      DeviceFailed(error);
    }
  }
  ApplyModemLines();
}

void TCustomComPort::ApplyModemLines() {
  int raise = 0;
  int lower = 0;
  switch (flow_control_.DTR()) {
    case TDTRControl::dcDisable:
      lower |= TIOCM_DTR;
      break;
    case TDTRControl::dcEnable:
    case TDTRControl::dcHandshake:  // no DTR handshake on this platform: keep it raised
      raise |= TIOCM_DTR;
      break;
    case TDTRControl::dcDefault:
      break;
  }
  switch (flow_control_.RTS()) {
    case TRTSControl::rcDisable:
      lower |= TIOCM_RTS;
      break;
    case TRTSControl::rcEnable:
    case TRTSControl::rcToggle:
      raise |= TIOCM_RTS;
      break;
    case TRTSControl::rcDefault:
    case TRTSControl::rcHandshake:  // the driver drives RTS (CRTSCTS)
      break;
  }
  if (raise != 0 && ::ioctl(fd_, TIOCMBIS, &raise) != 0 && !NoModemLines(errno)) {
    DeviceFailed(errno);
  }
  if (lower != 0 && ::ioctl(fd_, TIOCMBIC, &lower) != 0 && !NoModemLines(errno)) {
    DeviceFailed(errno);
  }
}

void TCustomComPort::ApplyBufferSizes() {
  const std::size_t size = static_cast<std::size_t>(std::max(buffer_sizes_.Input(), 1));
  if (rx_begin_ > 0) {
    std::copy(rx_buffer_.begin() + static_cast<std::ptrdiff_t>(rx_begin_),
              rx_buffer_.begin() + static_cast<std::ptrdiff_t>(rx_end_), rx_buffer_.begin());
    rx_end_ -= rx_begin_;
    rx_begin_ = 0;
  }
  rx_buffer_.resize(std::max(size, rx_end_));
}

TModemStatus TCustomComPort::ModemStatus() {
  if (!Active()) RaiseError(EComError(kClosedPortMessage, 0));
  int bits = 0;
  if (::ioctl(fd_, TIOCMGET, &bits) != 0) {
    if (NoModemLines(errno)) return {};
    DeviceFailed(errno);
  }
  TModemStatus status;
  if (bits & TIOCM_CTS) status.Include(TModemStatusValue::msCTS);
  if (bits & TIOCM_DSR) status.Include(TModemStatusValue::msDSR);
  if (bits & TIOCM_RI) status.Include(TModemStatusValue::msRing);
  if (bits & TIOCM_CD) status.Include(TModemStatusValue::msRLSD);
  return status;
}

void TCustomComPort::ResetCounters() {
  std::lock_guard lock(line_mutex_);
  serial_icounter_struct now{};
  counters_supported_ = ::ioctl(fd_, TIOCGICOUNT, &now) == 0;
  counters_ = {now.frame, now.overrun, now.parity, now.brk, now.buf_overrun};
}

bool TCustomComPort::CheckLineErrors(int device) {
  if (!Active()) RaiseError(EComError(kClosedPortMessage, 0));
  const bool used = device_used_.load(std::memory_order_relaxed) &&
                    device_used_.exchange(false, std::memory_order_relaxed);
  const bool hang_up_new = hung_up_.load() && !hang_up_reported_.load();
  if (!used && !hang_up_new) return false;
  if (device < 0) device = fd_;

  TLineErrors errors;
  int failure = 0;
  bool hang_up_now = false;
  {
    std::lock_guard lock(line_mutex_);
    if (!hung_up_ && counters_supported_) {
      serial_icounter_struct now{};
      if (::ioctl(device, TIOCGICOUNT, &now) == 0) {
        if (now.brk != counters_.brk) errors.Include(TLineError::leBreak);
        if (now.frame != counters_.frame) errors.Include(TLineError::leFrame);
        if (now.overrun != counters_.overrun) errors.Include(TLineError::leOverrun);
        if (now.buf_overrun != counters_.buf_overrun) errors.Include(TLineError::leRxOverflow);
        if (now.parity != counters_.parity) errors.Include(TLineError::leParity);
        counters_ = {now.frame, now.overrun, now.parity, now.brk, now.buf_overrun};
      } else if (errno == EIO) {
        hung_up_ = true;
      } else if (NoModemLines(errno)) {
        counters_supported_ = false;
      } else {
        failure = errno;
      }
    }
    // A hang-up is reported once, as a break.
    if (hung_up_ && !hang_up_reported_.exchange(true)) {
      errors.Include(TLineError::leBreak);
      hang_up_now = true;
    }
  }
  if (failure != 0) RaiseErrno(failure);
  if (!errors.Empty()) OnLineError(*this, errors);
  return hang_up_now;
}

void TCustomComPort::DispatchEvents(std::uint32_t events, int device) {
  using namespace event_mask;
  auto fire = [&](std::uint32_t bit, const ComEvent<TCustomComPort&>& event) {
    if (events & bit) event(*this);
  };
  fire(kBreak, OnBreak);
  fire(kCTS, OnCTSChange);
  fire(kDSR, OnDSRChange);
  if (events & kError) CheckLineErrors(device);
  fire(kEvent1, OnEvent1);
  fire(kEvent2, OnEvent2);
  fire(kPrinterError, OnPrinterError);
  fire(kRing, OnRing);
  fire(kRLSD, OnRLSDChange);
  fire(kRx80Full, OnRx80PercFull);
  fire(kRxChar, OnRxChar);
  fire(kRxFlag, OnRxFlag);
  fire(kTxEmpty, OnTxEmpty);
}

}  // namespace missivo
