// The phone's stored copies of the messages the program sent. A send archives
// its message at once (MakeSentRow: the send time, the references, no place
// on the phone); a device that keeps what it sends then holds a copy, which a
// later read lists as an outgoing message without a time. That copy is the
// archived message, not a new one: its row is completed with the copy's place
// (storage, index of every part) instead of getting a second row.
#pragma once

#include <cstddef>
#include <vector>

#include "store/row.h"

namespace missivo {

struct SentCopies {
  // Per row of the read: whether it is the copy of a message the archive
  // holds as sent (completed now, or before).
  std::vector<bool> held;
  std::size_t completed = 0;  // archive rows given their place now
};

// Finds the copies among `read` (rows of a read) of the messages `archive`
// holds as sent: the same number and text, as many parts and, where both
// know it, the same concatenation reference. A copy completes the oldest sent
// row that has no place yet: its parts, storage and Index become the copy's;
// its send time, sender and references stay. A device of the family sends a
// long text as separate messages: their copies, each a piece of the text, in
// order, complete the row once all of them are read. A copy of a row placed
// before is held when the row's place is the copy's.
SentCopies PlaceSentCopies(std::vector<Row>& archive, const std::vector<Row>& read);

}  // namespace missivo
