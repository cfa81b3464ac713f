// qdr: the report library's command-line tool. Each command is one function.
#include <iostream>
#include <string>
#include <vector>

#include "tools/qdr/render_command.h"
#include "tools/qdr/script_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? std::string() : args[0];
  const std::vector<std::string> rest(args.empty() ? args.end() : args.begin() + 1, args.end());
  if (command == "script") return qdr::RunScriptCommand(rest, std::cerr);
  if (command == "render") return qdr::RunRenderCommand(rest, std::cerr);
  if (command == "pages") return qdr::RunPagesCommand(rest, std::cerr);
  if (command == "--help" || command == "-h") {
    std::cout << "usage: qdr script FILE [--language NAME]\n" << qdr::kRenderUsage;
    return 0;
  }
  std::cerr << "usage: qdr script FILE [--language NAME]\n" << qdr::kRenderUsage;
  return 3;
}
