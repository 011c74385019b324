// An AT channel for tests that watches deletes: at every "AT+CMGD=" it looks
// at the archive file on disk and notes whether that file holds the message
// about to go, then passes the command on.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "phone/at_channel.h"
#include "store/list_file.h"

namespace missivo::test {

class ArchiveWatchingChannel : public AtChannel {
 public:
  ArchiveWatchingChannel(AtChannel& inner, std::filesystem::path archive)
      : inner_(inner), archive_(std::move(archive)) {}

  void ExchangeCommand(const std::string& command, std::string& reply) override {
    if (command.starts_with("AT+CMGD=")) {
      const std::string index = command.substr(8);
      const Result<std::vector<Row>> stored = ReadListFile(archive_);
      const bool held =
          stored.ok() && std::any_of(stored.value().begin(), stored.value().end(),
                                     [&](const Row& row) { return SubItem(row, kIndex) == index; });
      deletes.push_back(index + (held ? " archived" : " not archived"));
    }
    inner_.ExchangeCommand(command, reply);
  }
  bool IsOpen() const override { return inner_.IsOpen(); }

  // "<index> archived" or "<index> not archived", one per delete sent.
  std::vector<std::string> deletes;

 private:
  AtChannel& inner_;
  std::filesystem::path archive_;
};

}  // namespace missivo::test
