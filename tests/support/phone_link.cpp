#include "support/phone_link.h"

#include "text/default_language.h"

namespace missivo::test {

void AttachConnectionHandlers(TCustomComPort& port, std::vector<std::string>& events) {
  port.AfterOpen = [&events](TCustomComPort&) { events.push_back("open"); };
  port.AfterClose = [&events](TCustomComPort&) { events.push_back("close"); };
  port.OnLineError = [&events](TCustomComPort& p, TLineErrors errors) {
    events.push_back("line errors " + std::to_string(errors.Bits()));
    if (errors.Contains(TLineError::leBreak)) p.SetActive(false);
  };
  port.OnError = [&events](TCustomComPort& p, const EComError& e, TComAction&) {
    events.push_back("error " + std::to_string(e.ErrorCode()));
    const auto code = e.ErrorCode();
    if (code == 31 || code == 0 || code == 2) p.SetActive(false);
  };
}

PhoneLink::PhoneLink(const std::string& scenario_json) : phone(scenario_json) {
  language.LoadFromBytes(DefaultRussianFileBytes());
  exchange.SetSilenceLimit(std::chrono::seconds(5));  // a broken test fails, not hangs
  AttachConnectionHandlers(port, events);
  port.SetBaudRate(TBaudRate::brCustom);
  port.SetCustomBaudRate(115200);
  port.SetDeviceName(phone.Device());
  port.SetActive(true);
}

std::string PhoneLink::Exchange(const std::string& command) {
  std::string reply = "unchanged";
  exchange.ExchangeCommand(command, reply);
  return reply;
}

}  // namespace missivo::test
