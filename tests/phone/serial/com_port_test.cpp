#include "phone/serial/com_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "phone/serial/serial_speed.h"
#include "support/phone_link.h"

namespace missivo {
namespace {

using test::AttachConnectionHandlers;
using test::PhoneSim;
using test::ProcessEventsUntil;

constexpr char kMissingDevice[] = "/dev/missivo-no-such-device";

TEST(ComPortTest, MissingDeviceFailsWithCode2AfterOnErrorAndWithoutAfterOpen) {
  TComPort port;
  std::vector<std::string> events;
  AttachConnectionHandlers(port, events);
  port.SetDeviceName(kMissingDevice);
  try {
    port.SetActive(true);
    FAIL() << "opened a missing device";
  } catch (const EComError& e) {
    EXPECT_EQ(e.ErrorCode(), 2);
  }
  EXPECT_FALSE(port.Active());
  EXPECT_EQ(events, (std::vector<std::string>{"error 2"}));
}

TEST(ComPortTest, SecondOpenerOfTheDeviceGetsCode5) {
  test::PhoneLink link("{}");
  TComPort second;
  std::vector<std::string> events;
  AttachConnectionHandlers(second, events);
  second.SetDeviceName(link.phone.Device());
  try {
    second.Open();
    FAIL() << "two ports hold the device";
  } catch (const EComError& e) {
    EXPECT_EQ(e.ErrorCode(), 5);
  }
  EXPECT_EQ(events, (std::vector<std::string>{"error 5"}));
  EXPECT_FALSE(second.Active());
  EXPECT_EQ(link.Exchange("AT"), "AT\r\r\nOK\r");  // the first port is unharmed
}

TEST(ComPortTest, OnErrorDecidesBetweenTheErrorAndTheSilentAbort) {
  PhoneSim phone(R"({"echo": false})");
  for (const TComAction action : {TComAction::caFail, TComAction::caAbort}) {
    for (const bool open_missing : {true, false}) {
      SCOPED_TRACE(std::string(action == TComAction::caAbort ? "abort" : "fail") +
                   (open_missing ? ", opening" : ", reading"));
      TComPort port;
      int errors = 0;
      port.OnError = [&](TCustomComPort&, const EComError&, TComAction& a) {
        ++errors;
        a = action;
      };
      port.SetDeviceName(open_missing ? kMissingDevice : phone.Device());
      auto run = [&] {
        port.Open();
        port.Timeouts().SetReadConstant(20);
        port.ReceiveChar();  // the phone says nothing unasked
      };
      if (action == TComAction::caAbort) {
        EXPECT_THROW(run(), ESilentAbort);
      } else {
        EXPECT_THROW(run(), EComError);
      }
      EXPECT_EQ(errors, 1);
    }
  }
}

TEST(ComPortTest, CustomBaudRateAndBaudRate) {
  TComPort port;
  EXPECT_EQ(port.CustomBaudRate(), 0);  // brDefault
  port.SetBaudRate(TBaudRate::br9600);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
  port.SetCustomBaudRate(0);  // the stored custom rate: nothing changes
  EXPECT_EQ(port.BaudRate(), TBaudRate::br9600);
  port.SetCustomBaudRate(115200);
  EXPECT_EQ(port.BaudRate(), TBaudRate::brCustom);
  EXPECT_EQ(port.CustomBaudRate(), 115200);
  port.SetBaudRate(TBaudRate::br256000);
  EXPECT_EQ(port.CustomBaudRate(), 256000);
  port.SetCustomBaudRate(115200);  // the stored one again: BaudRate stays
  EXPECT_EQ(port.BaudRate(), TBaudRate::br256000);

  // Applied to the device: a standard rate, a rate without a termios code, and a
  // change while open. A descriptor opened first watches the settings.
  PhoneSim phone;
  const int watch = ::open(phone.Device().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(watch, 0);
  port.SetDeviceName(phone.Device());
  port.SetStopBits(TStopBits::sb2);  // a pseudo-terminal takes no parity, but stop bits
  port.Open();
  std::uint32_t rate = 0;
  ASSERT_EQ(GetLineSpeed(watch, rate), 0);
  EXPECT_EQ(rate, 256000u);
  port.SetBaudRate(TBaudRate::br9600);
  ASSERT_EQ(GetLineSpeed(watch, rate), 0);
  EXPECT_EQ(rate, 9600u);
  port.SetCustomBaudRate(250000);
  ASSERT_EQ(GetLineSpeed(watch, rate), 0);
  EXPECT_EQ(rate, 250000u);
  termios t{};
  ASSERT_EQ(::tcgetattr(watch, &t), 0);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);  // raw
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
  ::close(watch);
}

TEST(ComPortTest, OpeningAndClosingTwiceAndReopening) {
  test::PhoneLink link("{}");
  link.port.SetActive(true);
  link.port.Open();
  link.port.Close();
  link.port.Close();
  link.port.SetActive(false);
  EXPECT_EQ(link.events, (std::vector<std::string>{"open", "close"}));
  // The phone goes on serving a device that was closed and opened again.
  link.port.Open();
  EXPECT_EQ(link.Exchange("AT"), "AT\r\r\nOK\r");
}

TEST(ComPortTest, SettingsOfAnOpenPortAndOfAClosedOne) {
  PhoneSim phone;
  TComPort port;
  port.SetDeviceName(phone.Device());
  port.Open();
  port.SetDeviceName(phone.Device());  // the same name: allowed
  try {
    port.SetDeviceName("/dev/other");
    FAIL();
  } catch (const EComError& e) {
    EXPECT_STREQ(e.what(), kOpenPortMessage);
    EXPECT_EQ(e.ErrorCode(), 0);
  }
  EXPECT_THROW(port.SetSynchronizeEvents(false), EComError);
  EXPECT_THROW(port.SetPriorityClass(TPriorityClass::pcHigh), EComError);
  EXPECT_TRUE(port.ModemStatus().Empty());  // a pseudo-terminal has no modem lines
  port.Close();
  for (const auto& operation :
       std::vector<std::function<void()>>{[&] { port.ModemStatus(); }, [&] { port.ReceiveChar(); },
                                          [&] { port.WriteText("AT"); }}) {
    try {
      operation();
      FAIL();
    } catch (const EComError& e) {
      EXPECT_STREQ(e.what(), kClosedPortMessage);
    }
  }
  port.ClearInputBuffer();  // the purges do nothing on a closed port
  port.DiscardInput();
  port.DiscardOutput();
}

TEST(ComPortTest, ReadsAreBufferedInsideThePortAndTimeoutsHold) {
  PhoneSim phone(R"({"replies": [{"command": "AT+X", "reply": "a\u0000bcdef"}]})");
  TComPort port;
  port.SetDeviceName(phone.Device());
  port.SetOptions({TOption::opDiscardNullBytes});
  port.Timeouts().SetReadConstant(5000);  // a hard deadline for a broken test
  port.Open();
  port.WriteText("AT+X\n\r");
  EXPECT_EQ(port.ReceiveChar(), 'a');
  char three[3];
  port.Read(three, 3, true);
  EXPECT_EQ(std::string(three, 3), "bcd");
  // Emptying the input empties the port's own buffer too: "ef" is gone.
  port.ClearInputBuffer();
  port.Timeouts().SetReadConstant(50);
  try {
    port.ReceiveChar();
    FAIL() << "read a byte that was cleared";
  } catch (const EComError& e) {
    EXPECT_EQ(e.ErrorCode(), 0);
    EXPECT_STREQ(e.what(), kTimeoutMessage);
  }
  // Interval -1 without totals: a read takes what is there and ends.
  port.Timeouts().SetReadConstant(0);
  port.Timeouts().SetReadInterval(-1);
  EXPECT_THROW(port.ReceiveChar(), EComError);
}

TEST(ComPortTest, HangUpOfAnIdlePortIsReportedOnTheMainThread) {
  for (const bool synchronized : {true, false}) {
    SCOPED_TRACE(synchronized ? "synchronized" : "on the event thread");
    auto phone = std::make_unique<PhoneSim>();
    TComPort port;
    port.SetSynchronizeEvents(synchronized);
    std::thread::id line_error_thread;
    std::thread::id close_thread;
    TLineErrors reported;
    port.OnLineError = [&](TCustomComPort& p, TLineErrors errors) {
      line_error_thread = std::this_thread::get_id();
      reported = errors;
      p.Close();  // from the event thread this runs on the main thread
    };
    port.AfterClose = [&](TCustomComPort&) { close_thread = std::this_thread::get_id(); };
    port.SetDeviceName(phone->Device());
    port.Open();
    phone.reset();  // the other end goes away
    ASSERT_TRUE(ProcessEventsUntil([&] { return !port.Active(); }));
    EXPECT_TRUE(reported.Contains(TLineError::leBreak));
    EXPECT_EQ(close_thread, std::this_thread::get_id());
    EXPECT_EQ(line_error_thread == std::this_thread::get_id(), synchronized);
    port.Close();  // closing again is harmless
  }
}

TEST(ComPortTest, ArrivingInputIsReportedByOnRxCharOnceUntilRead) {
  PhoneSim phone(R"({"echo": false})");
  TComPort port;
  port.SetDeviceName(phone.Device());
  port.Open();  // no line handler yet: no event thread
  int arrivals = 0;
  port.OnRxChar = [&](TCustomComPort&) { ++arrivals; };  // starts the event thread
  port.Timeouts().SetReadConstant(5000);                 // a hard deadline for a broken test
  port.WriteText("AT\n\r");
  ASSERT_TRUE(ProcessEventsUntil([&] { return arrivals == 1; }));
  char reply[6];
  port.Read(reply, 6, true);
  EXPECT_EQ(std::string(reply, 6), "\r\nOK\r\n");
  port.WriteText("AT\n\r");
  ASSERT_TRUE(ProcessEventsUntil([&] { return arrivals == 2; }));
  port.OnRxChar = nullptr;  // the last line handler gone: the thread stops
  port.Read(reply, 6, true);
  EXPECT_EQ(arrivals, 2);
}

// Closing while the event thread waits for the main thread neither blocks nor
// runs the waiting handler afterwards.
TEST(ComPortTest, CloseDoesNotWaitForAnEventThreadWaitingForTheMainThread) {
  auto phone = std::make_unique<PhoneSim>();
  auto port = std::make_unique<TComPort>();
  int line_errors = 0;
  port->OnLineError = [&](TCustomComPort&, TLineErrors) { ++line_errors; };
  port->SetDeviceName(phone->Device());
  port->Open();
  phone.reset();
  // The event thread has seen the hang-up once its report waits in the queue.
  pollfd queued{DefaultMainThreadInvoker().Descriptor(), POLLIN, 0};
  ASSERT_EQ(::poll(&queued, 1, 5000), 1);
  port->Close();
  port->Close();
  port.reset();
  DefaultMainThreadInvoker().ProcessPending();
  EXPECT_EQ(line_errors, 0);
}

TEST(ComPortTest, SystemErrorsKeepTheCodesTheHandlersTest) {
  const struct {
    int errno_value;
    std::int32_t code;
  } cases[] = {{ENOENT, 2},      {ENODEV, 2}, {ENXIO, 2},   {EBUSY, 5},
               {EWOULDBLOCK, 5}, {EIO, 31},   {EACCES, 13}, {EINVAL, EINVAL}};
  for (const auto& c : cases) {
    EXPECT_EQ(ComErrorFromErrno(c.errno_value, "/dev/ttyUSB0").ErrorCode(), c.code)
        << c.errno_value;
  }
  // Permission denied names the group that owns the device.
  test::TempFolder folder;
  test::WriteBytes(folder / "tty", "");
  const std::string message = ComErrorFromErrno(EACCES, (folder / "tty").string()).what();
  EXPECT_NE(message.find("group \"root\""), std::string::npos) << message;
  EXPECT_NE(message.find("usermod -aG root"), std::string::npos) << message;
}

}  // namespace
}  // namespace missivo
