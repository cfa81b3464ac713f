// qdr: the report library's command-line tool. Each command is one function.
#include <iostream>
#include <string>
#include <vector>

#include "tools/qdr/script_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "script")
    return qdr::RunScriptCommand({args.begin() + 1, args.end()}, std::cerr);
  std::cerr << "usage: qdr script FILE [--language NAME]\n";
  return 3;
}
