// velmora-host: runs a session script against one VST 2.4, CLAP or VST 3 plug-in.
#include "tools/vsthost/HostScript.h"

#include <cstring>
#include <fstream>
#include <iostream>

namespace {

void printUsage(std::ostream& out) {
  out << "usage: velmora-host [-q] [script|-] [argument...]\n"
         "Runs a session script (standard input when absent or '-'); $1..$9 in the\n"
         "script stand for the arguments. Exits 1 at the first failed command.\n"
         "  -q  do not echo the commands\n\ncommands:\n";
  for (const std::string& line : velmora::host::HostScript::commandHelp()) out << "  " << line << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  bool echo = true;
  int first = 1;
  if (first < argc && (std::strcmp(argv[first], "-h") == 0 || std::strcmp(argv[first], "--help") == 0)) {
    printUsage(std::cout);
    return 0;
  }
  if (first < argc && std::strcmp(argv[first], "-q") == 0) {
    echo = false;
    ++first;
  }
  const std::string scriptPath = first < argc ? argv[first++] : "-";
  std::vector<std::string> arguments(argv + first, argv + argc);

  std::ifstream file;
  if (scriptPath != "-") {
    file.open(scriptPath);
    if (!file) {
      std::cerr << "velmora-host: cannot read " << scriptPath << '\n';
      return 2;
    }
  }
  velmora::host::VstHost host;
  velmora::host::HostScript script(host, std::cout, std::move(arguments));
  script.setEcho(echo);
  return script.run(scriptPath == "-" ? std::cin : file, std::cerr);
}
