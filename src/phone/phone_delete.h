// Deleting messages in the phone: "AT+CMGD=" and the message's index, without a
// line end of its own. The replies are not examined. Removing the rows from the
// messages list is the caller's, whatever the phone answered.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/ui.h"
#include "phone/at_channel.h"
#include "phone/device_profile.h"
#include "store/row.h"

namespace missivo {

// Deletes the messages of `indexes`, in order, letting pending events through
// before each command; no gauge. For deleting the messages of a read once they
// are kept.
void DeleteMessagesOnPhone(AtChannel& channel, const std::vector<std::string>& indexes,
                           UserInterface& ui);

// Deletes the rows of `list1` at `selected` (positions from 0; taken from the top
// of the list, each once, positions past the end skipped): a gauge from 0 to the
// number of positions, set after each command to the row's position in the list,
// hidden at the end. With no position nothing is sent; the gauge shows and hides.
void DeleteRowsOnPhone(AtChannel& channel, const std::vector<Row>& list1,
                       std::vector<std::size_t> selected, UserInterface& ui);

// Deletes every row of `list1` in the phone, from the top, with the gauge of
// DeleteRowsOnPhone.
void DeleteAllOnPhone(AtChannel& channel, const std::vector<Row>& list1, UserInterface& ui);

// The same through a device profile: each row's message where its lossless
// fields say it lives (every part in its own storage, SlotsOfRow). The
// family's profile deletes exactly as the two above.
void DeleteRowsOnPhone(AtChannel& channel, const DeviceProfile& profile,
                       const std::vector<Row>& list1, std::vector<std::size_t> selected,
                       UserInterface& ui);

}  // namespace missivo
