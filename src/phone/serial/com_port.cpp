// Opening, closing and the settings of the serial port.
#include "phone/serial/com_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "phone/serial/com_thread.h"
#include "phone/serial/main_thread_invoker.h"

namespace missivo {

namespace {

// Nice values standing for the priority classes.
int NiceOf(TPriorityClass value) {
  switch (value) {
    case TPriorityClass::pcIdle:
      return 19;
    case TPriorityClass::pcHigh:
      return -10;
    case TPriorityClass::pcRealTime:
      return -20;
    case TPriorityClass::pcDefault:
    case TPriorityClass::pcNormal:
      break;
  }
  return 0;
}

}  // namespace

void TComSettings::Reapply(ComSettingGroup group) {
  port_.Reapply(group);
}

TCustomComPort::TCustomComPort() = default;

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (...) {
    // A handler's failure must not leave the destructor; the port is closed.
    Release();
  }
  stopped_threads_.clear();
}

void TCustomComPort::SetMainThreadInvoker(MainThreadInvoker* invoker) {
  RequireClosed();
  invoker_ = invoker;
}

MainThreadInvoker& TCustomComPort::Invoker() const {
  return invoker_ != nullptr ? *invoker_ : DefaultMainThreadInvoker();
}

void TCustomComPort::DeliverPending() {
  Invoker().ProcessPending();
}

void TCustomComPort::SetActive(bool value) {
  stored_active_ = value;
  if (loading_ || value == Active()) return;
  if (value) {
    Open();
  } else {
    Close();
  }
}

void TCustomComPort::Loaded() {
  loading_ = false;
  SetActive(stored_active_);
}

void TCustomComPort::Open() {
  DeliverPending();
  if (Active()) return;
  BeforeOpen(*this);
  OpenDevice();
  if (Active()) AfterOpen(*this);
}

void TCustomComPort::Close() {
  if (TComThread* thread = TComThread::Current(); thread != nullptr && &thread->Port() == this) {
    // A close asked for by the event thread runs on the main thread.
    thread->RunOnMainThread([this] { Close(); });
    return;
  }
  if (!Active()) return;
  BeforeClose(*this);
  Release();
  if (!Active()) AfterClose(*this);
  // Events of this port still waiting were cancelled by the release; others run.
  DeliverPending();
}

void TCustomComPort::OpenDevice() {
  Release();
  try {
    if (priority_class_ != TPriorityClass::pcDefault) {
      errno = 0;
      const int current = ::getpriority(PRIO_PROCESS, 0);
      if (errno == 0) saved_priority_ = current;
      ::setpriority(PRIO_PROCESS, 0, NiceOf(priority_class_));
    }
    const int fd = ::open(device_name_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) RaiseErrno(errno);
    fd_ = fd;
    // TIOCEXCL keeps other users out, but not root: the lock does that.
    if (::ioctl(fd_, TIOCEXCL) != 0) RaiseErrno(errno);
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) RaiseErrno(errno);
    DiscardInput();
    DiscardOutput();
    ApplyBufferSizes();
    ApplyLineSettings();
    ResetCounters();
    ApplyEventMask();
  } catch (...) {
    Release();
    throw;
  }
}

void TCustomComPort::Release() {
  if (thread_) {
    thread_->Stop();
    stopped_threads_.push_back(std::move(thread_));
  }
  std::erase_if(stopped_threads_, [](const auto& thread) { return thread->Finished(); });
  if (fd_ >= 0) {
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }
  rx_begin_ = rx_end_ = 0;
  read_ = {};
  write_ = {};
  hung_up_ = false;
  hang_up_reported_ = false;
  device_used_ = false;
  event_mask_ = 0;
  if (saved_priority_) {
    ::setpriority(PRIO_PROCESS, 0, *saved_priority_);
    saved_priority_.reset();
  }
}

void TCustomComPort::RaiseError(const EComError& error) {
  TComAction action = TComAction::caFail;
  OnError(*this, error, action);
  if (action == TComAction::caAbort) throw ESilentAbort();
  throw error;
}

void TCustomComPort::RaiseErrno(int errno_value) {
  RaiseError(ComErrorFromErrno(errno_value, device_name_));
}

void TCustomComPort::RequireClosed() {
  if (Active()) RaiseError(EComError(kOpenPortMessage, 0));
}

void TCustomComPort::Reapply(ComSettingGroup group) {
  if (!Active()) return;
  switch (group) {
    case ComSettingGroup::kLine:
      ApplyLineSettings();
      break;
    case ComSettingGroup::kBufferSizes:
      ApplyBufferSizes();
      break;
    case ComSettingGroup::kTimeouts:
      break;  // read at every transfer
  }
}

void TCustomComPort::SetBaudRate(TBaudRate value) {
  ChangeLineSetting(baud_rate_, value);
}

std::int32_t TCustomComPort::CustomBaudRate() const {
  if (baud_rate_ == TBaudRate::brCustom) return custom_baud_rate_;
  return BaudRateValue(baud_rate_);
}

void TCustomComPort::SetCustomBaudRate(std::int32_t value) {
  if (value == custom_baud_rate_) return;
  custom_baud_rate_ = value;
  baud_rate_ = TBaudRate::brCustom;
  Reapply(ComSettingGroup::kLine);
}

void TCustomComPort::SetDataBits(TDataBits value) {
  ChangeLineSetting(data_bits_, value);
}

void TCustomComPort::SetParity(TParity value) {
  ChangeLineSetting(parity_, value);
}

void TCustomComPort::SetStopBits(TStopBits value) {
  ChangeLineSetting(stop_bits_, value);
}

void TCustomComPort::SetOptions(TOptions value) {
  ChangeLineSetting(options_, value);
}

void TCustomComPort::SetDeviceName(const std::string& value) {
  if (value == device_name_) return;
  RequireClosed();
  device_name_ = value;
}

void TCustomComPort::SetPriorityClass(TPriorityClass value) {
  if (value == priority_class_) return;
  RequireClosed();
  priority_class_ = value;
}

void TCustomComPort::SetThreadPriority(TThreadPriority value) {
  thread_priority_ = value;
  if (thread_) thread_->SetPriority(value);
}

void TCustomComPort::SetSynchronizeEvents(bool value) {
  if (value == synchronize_events_) return;
  RequireClosed();
  synchronize_events_ = value;
}

std::uint32_t TCustomComPort::EventMask() const {
  std::uint32_t mask = 0;
  if (OnRxChar) mask |= event_mask::kRxChar;
  if (OnRxFlag) mask |= event_mask::kRxFlag;
  if (OnTxEmpty) mask |= event_mask::kTxEmpty;
  if (OnCTSChange) mask |= event_mask::kCTS;
  if (OnDSRChange) mask |= event_mask::kDSR;
  if (OnRLSDChange) mask |= event_mask::kRLSD;
  if (OnBreak) mask |= event_mask::kBreak;
  if (OnLineError) mask |= event_mask::kError;
  if (OnRing) mask |= event_mask::kRing;
  if (OnPrinterError) mask |= event_mask::kPrinterError;
  if (OnRx80PercFull) mask |= event_mask::kRx80Full;
  if (OnEvent1) mask |= event_mask::kEvent1;
  if (OnEvent2) mask |= event_mask::kEvent2;
  return mask;
}

void TCustomComPort::HandlersChanged() {
  if (Active()) ApplyEventMask();
}

void TCustomComPort::ApplyEventMask() {
  const std::uint32_t mask = EventMask();
  if (mask == 0 && thread_) {
    thread_->Stop();
    stopped_threads_.push_back(std::move(thread_));
  }
  event_mask_ = mask;
  if (mask == 0) return;
  if (thread_) {
    thread_->Wake();
    return;
  }
  // The thread waits on a descriptor of its own, so closing the port's never
  // pulls a descriptor from under it.
  const int device = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  if (device < 0) RaiseErrno(errno);
  try {
    thread_ = std::make_unique<TComThread>(*this, Invoker(), device, thread_priority_);
  } catch (const std::system_error&) {
    RaiseError(EComError(kNoThreadMessage, 0));
  }
}

}  // namespace missivo
