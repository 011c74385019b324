// The simulated standards-following phone or modem (scenario profile
// "standard"): PDU and text mode, message storages, long messages stored as
// parts, status reports, the standard phonebook. Modelled on replies captured
// from real devices (tests/data/standard-replies).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scenario.h"

namespace phonesim {

class StandardPhone {
 public:
  // Throws std::runtime_error when a message of the scenario cannot be encoded.
  explicit StandardPhone(const Scenario& scenario);

  // The answer to a command line (without echo): information lines and final result.
  std::string Respond(const std::string& command);

  // A send (AT+CMGS) waits for its PDU (PDU mode) or text (text mode).
  bool AwaitingText() const { return send_.has_value(); }
  // The PDU or text of the send, without Ctrl-Z: stored in the current storage
  // as sent, answered with the next message reference.
  std::string SubmitText(const std::string& text);
  void CancelText() { send_.reset(); }

 private:
  struct Stored {
    std::string storage;
    int index = 0;
    int stat = 1;     // 0 unread, 1 read, 2 unsent, 3 sent
    std::string pdu;  // with the service-centre field
    int tpdu_length = 0;
    std::string address;
    std::string stamp;  // as the scenario gives it; empty for stored messages
    std::string text;   // this part's text, UTF-8
    bool status_report = false;
  };

  void Store(const Message& message);
  std::string ListMessages(const std::string& argument);
  std::string ReadMessage(int index);
  std::string DeleteMessage(int index);
  std::string SelectStorage(const std::string& argument);
  std::string ReadPhonebook(const std::string& argument) const;
  std::string EntryLines(const Stored& stored, const std::string& header) const;
  bool InCurrentStorage(const Stored& stored) const;
  std::string UsedAndTotal() const;
  // Information lines and the final "OK", framed as the device does.
  std::string Lines(const std::vector<std::string>& lines) const;
  std::string Error() const;
  std::string Hex(const std::string& utf8) const;

  // The send awaiting its text: the TPDU length (PDU mode) or the number (text mode).
  struct PendingSend {
    int length = 0;
    std::string number;
  };
  std::string StartSend(const std::string& argument);
  int NextIndex() const;

  StandardDevice device_;
  std::optional<PendingSend> send_;
  int next_reference_ = 1;
  std::vector<Contact> phonebook_;
  std::vector<Stored> stored_;
  bool pdu_mode_ = true;
  bool ucs2_ = false;
  std::string storage_ = "SM";
  std::string phonebook_storage_ = "SM";
};

}  // namespace phonesim
