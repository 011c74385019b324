#include "phone/phone_delete.h"

#include <algorithm>
#include <numeric>

#include "phone/family_commands.h"

namespace missivo {
namespace {

void DeleteOne(AtChannel& channel, const std::string& index) {
  std::string reply;
  channel.ExchangeCommand(family::DeleteCommand(index), reply);
}

}  // namespace

void DeleteMessagesOnPhone(AtChannel& channel, const std::vector<std::string>& indexes,
                           UserInterface& ui) {
  for (const std::string& index : indexes) {
    ui.ProcessPendingEvents();
    DeleteOne(channel, index);
  }
}

void DeleteRowsOnPhone(AtChannel& channel, const std::vector<Row>& list1,
                       std::vector<std::size_t> selected, UserInterface& ui) {
  DeleteRowsOnPhone(channel, FamilyProfile(), list1, std::move(selected), ui);
}

void DeleteRowsOnPhone(AtChannel& channel, const DeviceProfile& profile,
                       const std::vector<Row>& list1, std::vector<std::size_t> selected,
                       UserInterface& ui) {
  const bool family = profile.Kind() == PhoneKind::kFamily;
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  selected.erase(std::lower_bound(selected.begin(), selected.end(), list1.size()), selected.end());
  ui.ShowProgress(static_cast<int>(selected.size()), 0);
  try {
    for (const std::size_t position : selected) {
      if (family) {
        DeleteOne(channel, SubItem(list1[position], kIndex));
      } else {
        profile.DeleteMessages(channel, SlotsOfRow(list1[position]), ui);
      }
      ui.SetProgressPosition(static_cast<int>(position));
    }
  } catch (...) {
    ui.HideProgress();
    throw;
  }
  ui.HideProgress();
}

void DeleteAllOnPhone(AtChannel& channel, const std::vector<Row>& list1, UserInterface& ui) {
  std::vector<std::size_t> every(list1.size());
  std::iota(every.begin(), every.end(), std::size_t{0});
  DeleteRowsOnPhone(channel, list1, std::move(every), ui);
}

}  // namespace missivo
