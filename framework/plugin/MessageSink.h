#pragma once

#include <functional>
#include <string>

namespace velmora {

// Where a part of the plug-in sends its messages: one line of text at a
// time, without the newline. Hosts that keep a log get them there; an empty
// sink means the standard error stream.
using MessageSink = std::function<void(const std::string& line)>;

// Sends line to sink, or to the standard error stream when sink is empty.
void ReportMessage(const MessageSink& sink, const std::string& line);

}  // namespace velmora
