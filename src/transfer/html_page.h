// Messages as one complete UTF-8 web page: a small style, and the messages in
// list order as conversation blocks (a heading whenever the correspondent
// changes, incoming on the left, outgoing and drafts on the right), every
// field escaped. The Parts' template export stays beside it as it is.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "transfer/message_writer.h"

namespace missivo {

std::unique_ptr<MessageWriter> MakeHtmlPageWriter(std::function<bool(std::string_view)> sink);

}  // namespace missivo
