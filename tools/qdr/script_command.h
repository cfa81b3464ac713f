// qdr script FILE [--language NAME]: compiles and runs a script file with the
// runtime library.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qdr {

// Exit codes: 0 done, 1 compile error (line:column: message on `err`),
// 2 run-time error (its message on `err`), 3 usage or file error.
int RunScriptCommand(const std::vector<std::string>& args, std::ostream& err);

}  // namespace qdr
