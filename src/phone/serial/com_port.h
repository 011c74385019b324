// The serial port component: opens a serial device by name with exclusive use,
// writes its line settings into it, reads and writes bytes for the calling
// (main) thread, and runs one event thread that reports line events.
//
// Create, use and destroy a port on one thread, the main thread, and assign its
// handlers there. Event handlers run on the main thread while SynchronizeEvents
// is true (through the port's MainThreadInvoker), otherwise on the event thread;
// then assign the line handlers while the port is closed, and mind that they
// race with the main thread's use of the port.
//
// Every failure goes through the raise path: OnError runs with caFail; caAbort
// turns the EComError into ESilentAbort, otherwise the EComError continues.
//
// The port is the byte link the AT layer talks to on a real device.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/byte_link.h"
#include "phone/com_error.h"
#include "phone/serial/com_event.h"
#include "phone/serial/com_settings.h"
#include "phone/serial/com_types.h"

namespace missivo {

class MainThreadInvoker;
class TComThread;

class TCustomComPort : public ByteLink {
 public:
  TCustomComPort();
  // Closes the port and waits for the end of its event threads.
  ~TCustomComPort() override;
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;

  // The invoker that runs handlers on the main thread; nullptr means
  // DefaultMainThreadInvoker(). Set it while the port is closed.
  void SetMainThreadInvoker(MainThreadInvoker* invoker);
  MainThreadInvoker& Invoker() const;

  // --- Opening and closing ---
  // True exactly while the device is open. Writing a different value opens or
  // closes; between BeginLoading and Loaded it is only recorded.
  bool Active() const { return fd_ >= 0; }
  void SetActive(bool value);
  void BeginLoading() { loading_ = true; }
  virtual void Loaded();  // applies the recorded Active value
  void Open();
  void Close();

  // --- Settings ---
  TBaudRate BaudRate() const { return baud_rate_; }
  void SetBaudRate(TBaudRate value);
  // The rate BaudRate stands for (0 for brDefault, the stored rate for brCustom).
  // Writing a rate other than the stored custom one stores it and selects brCustom.
  std::int32_t CustomBaudRate() const;
  void SetCustomBaudRate(std::int32_t value);
  TDataBits DataBits() const { return data_bits_; }
  void SetDataBits(TDataBits value);
  TParity Parity() const { return parity_; }
  void SetParity(TParity value);
  TStopBits StopBits() const { return stop_bits_; }
  void SetStopBits(TStopBits value);
  TOptions Options() const { return options_; }
  void SetOptions(TOptions value);
  const std::string& DeviceName() const { return device_name_; }
  void SetDeviceName(const std::string& value);  // fails on an open port
  TFlowControl& FlowControl() { return flow_control_; }
  TCharacters& Characters() { return characters_; }
  TBufferSizes& BufferSizes() { return buffer_sizes_; }
  TTimeouts& Timeouts() { return timeouts_; }
  TPriorityClass PriorityClass() const { return priority_class_; }
  void SetPriorityClass(TPriorityClass value);  // fails on an open port
  TThreadPriority ThreadPriority() const { return thread_priority_; }
  void SetThreadPriority(TThreadPriority value);
  bool SynchronizeEvents() const { return synchronize_events_; }
  void SetSynchronizeEvents(bool value);  // fails on an open port
  // The modem input lines; a device without them (a pseudo-terminal) reports none.
  TModemStatus ModemStatus();

  // --- Transfers (main thread) ---
  // Transfers `length` bytes. With `wait_on_completion` false the call may return
  // before the transfer is done; the next call of the same kind finishes it first.
  // A write's bytes are copied, so the caller's buffer is free at once; a pending
  // read fills `buffer` when it is finished. A transfer that ends short (time-outs)
  // fails with "Timeout"; a device that hangs up is reported to OnLineError as
  // leBreak and then fails with code 31.
  void Read(void* buffer, std::int32_t length, bool wait_on_completion);
  void Write(const void* buffer, std::int32_t length, bool wait_on_completion);
  // Write of the text's bytes as they are, not waited for.
  void WriteText(const std::string& text);
  // Read of one byte, waited for.
  char ReceiveChar();
  // Read of one byte that waits at most `limit` whatever Timeouts say, failing
  // with "Timeout" (code 0) through the raise path when nothing came.
  char ReceiveCharWithin(std::chrono::milliseconds limit);
  // Whether a byte has come that no read has taken, waiting at most `limit`
  // for one; nothing is taken. Fails as a read does (a hang-up, a stop).
  // Drop the pending read and every byte received so far (also those already in
  // the port's own buffer).
  void DiscardInput();
  // Drop the pending write and the output queue.
  void DiscardOutput();
  // Drop every byte received so far (also those in the port's own buffer).
  void ClearInputBuffer();

  // A descriptor that becomes readable when the program is asked to stop (the
  // write end of a pipe a signal handler writes to), or -1. From then on every
  // transfer, and every wait of one already under way, fails with
  // kStoppedMessage (code EINTR) through the raise path, before anything more
  // is written to the device. The port does not read or close it.
  void SetStopDescriptor(int fd) { stop_fd_ = fd; }

  // The raise path: OnError, then ESilentAbort or `error` itself.
  [[noreturn]] void RaiseError(const EComError& error);

  // --- The byte link: the transfers above, as the AT layer sees them ---
  bool IsOpen() const override { return Active(); }
  void DropInput() override { ClearInputBuffer(); }
  void Send(std::string_view bytes) override {
    Write(bytes.data(), static_cast<std::int32_t>(bytes.size()), false);
  }
  char ReceiveWithin(std::chrono::milliseconds limit) override { return ReceiveCharWithin(limit); }
  bool InputWithin(std::chrono::milliseconds limit) override;
  [[noreturn]] void Fail(const EComError& error) override { RaiseError(error); }

  // --- Events ---
  ComEvent<TCustomComPort&> BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  ComEvent<TCustomComPort&, const void*, std::int32_t, bool> BeforeRead, AfterRead, BeforeWrite,
      AfterWrite;
  ComEvent<TCustomComPort&, const EComError&, TComAction&> OnError;
  // Line events. On this platform a hang-up (the device unplugged, the other end
  // of a pseudo-terminal closed) reports OnLineError, and arriving input reports
  // OnRxChar (once until the port has read). The other line events exist for
  // handlers but are not raised: Linux gives no pollable notice of them.
  ComEvent<TCustomComPort&, TLineErrors> OnLineError{Hook()};
  ComEvent<TCustomComPort&> OnBreak{Hook()}, OnCTSChange{Hook()}, OnDSRChange{Hook()},
      OnEvent1{Hook()}, OnEvent2{Hook()}, OnPrinterError{Hook()}, OnRing{Hook()},
      OnRLSDChange{Hook()}, OnRx80PercFull{Hook()}, OnRxChar{Hook()}, OnRxFlag{Hook()},
      OnTxEmpty{Hook()};

 protected:
  // The open step: releases what is left, opens the device, applies every
  // setting and starts the event thread; on failure releases everything again.
  virtual void OpenDevice();

 private:
  friend class TComSettings;
  friend class TComThread;

  using Clock = std::chrono::steady_clock;
  struct PendingRead {
    char* buffer = nullptr;
    std::int32_t length = 0;
    std::int32_t done = 0;
    std::optional<Clock::duration> total;       // limit of the whole read
    std::optional<Clock::time_point> deadline;  // set from `total` once the read must wait
    std::optional<Clock::duration> interval;    // between two bytes
    bool immediate = false;                     // take what is there and end
  };
  struct PendingWrite {
    std::string bytes;
    std::size_t done = 0;
    std::optional<Clock::time_point> deadline;
  };
  struct Counters {
    int frame = 0, overrun = 0, parity = 0, brk = 0, buf_overrun = 0;
  };

  std::function<void()> Hook() {
    return [this] { HandlersChanged(); };
  }

  // Settings into the device (open port only).
  template <typename T>
  void ChangeLineSetting(T& field, T value) {
    if (field == value) return;
    field = value;
    Reapply(ComSettingGroup::kLine);
  }
  void Reapply(ComSettingGroup group);
  void ApplyLineSettings();
  void ApplyModemLines();
  void ApplyBufferSizes();
  void ApplyEventMask();
  std::uint32_t EventMask() const;
  void HandlersChanged();
  void RequireClosed();

  void Release();
  void DeliverPending();

  // Transfers.
  void StartRead(void* buffer, std::int32_t length, bool wait, PendingRead request);
  void FinishRead();
  void FinishWrite();
  void PumpOutput();
  void TakeBuffered();
  void FillBuffer();
  short WaitDevice(short events, std::optional<Clock::time_point> deadline);
  void RequireUsable();
  [[noreturn]] void HangUp();
  // The stop descriptor is readable: the transfer under way is dropped.
  [[noreturn]] void Stop();
  bool StopAsked() const;
  [[noreturn]] void RaiseErrno(int errno_value);
  // A failed system call on the open device: EIO is a hang-up, others are raised.
  [[noreturn]] void DeviceFailed(int errno_value);

  // Line errors. Returns whether a hang-up was reported now.
  bool CheckLineErrors(int device);
  void ResetCounters();
  // Runs the handlers of `events`; `device` is the descriptor for the line-error
  // check (-1: the port's own).
  void DispatchEvents(std::uint32_t events, int device);

  // Settings.
  TBaudRate baud_rate_ = TBaudRate::brDefault;
  std::int32_t custom_baud_rate_ = 0;
  TDataBits data_bits_ = TDataBits::dbDefault;
  TParity parity_ = TParity::paDefault;
  TStopBits stop_bits_ = TStopBits::sbDefault;
  TOptions options_;
  std::string device_name_ = "COM2";
  TFlowControl flow_control_{*this};
  TCharacters characters_{*this};
  TBufferSizes buffer_sizes_{*this};
  TTimeouts timeouts_{*this};
  TPriorityClass priority_class_ = TPriorityClass::pcDefault;
  TThreadPriority thread_priority_ = TThreadPriority::tpTimeCritical;
  bool synchronize_events_ = true;
  MainThreadInvoker* invoker_ = nullptr;

  // Run-time state.
  int fd_ = -1;
  int stop_fd_ = -1;
  bool loading_ = false;
  bool stored_active_ = false;
  std::optional<int> saved_priority_;
  std::vector<char> rx_buffer_;
  std::size_t rx_begin_ = 0;
  std::size_t rx_end_ = 0;
  PendingRead read_;
  PendingWrite write_;
  std::mutex line_mutex_;  // the line-error state below, shared with the event thread
  bool counters_supported_ = false;
  std::atomic<bool> device_used_{false};  // a system call touched the device since the last check
  Counters counters_;
  std::atomic<bool> hung_up_{false};
  std::atomic<bool> hang_up_reported_{false};
  std::atomic<std::uint32_t> event_mask_{0};
  std::unique_ptr<TComThread> thread_;
  std::vector<std::unique_ptr<TComThread>> stopped_threads_;
};

// The published form of the port.
class TComPort : public TCustomComPort {};

}  // namespace missivo
