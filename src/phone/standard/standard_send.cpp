// Sending on a standard device: PDU mode only, so that a long text goes as
// concatenated parts and any character as UCS2.
#include "phone/message_send.h"
#include "phone/standard/standard_profile.h"

namespace missivo {

Result<SendPlan> StandardProfile::PlanSend(std::string_view number, std::string_view text,
                                           std::uint16_t reference, bool status_report) const {
  if (identity_.modes.known && !identity_.modes.pdu) {
    return Status::Failure("the device has no PDU mode, which sending needs");
  }
  return PduSendPlan(number, text, reference, status_report);
}

}  // namespace missivo
