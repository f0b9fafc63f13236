#include "framework/plugin/MessageSink.h"

#include <iostream>

namespace velmora {

void ReportMessage(const MessageSink& sink, const std::string& line) {
  if (sink) {
    sink(line);
    return;
  }
  std::cerr << line << std::endl;
}

}  // namespace velmora
