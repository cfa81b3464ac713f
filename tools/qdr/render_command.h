// qdr render TEMPLATE.qr3 ...: loads a template, binds named datasets to SQL
// rows, prepares and writes PDF, a prepared-report file or PNG pages.
// qdr pages IN.qp3 ...: converts a prepared-report file to PDF or PNG pages.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qdr {

extern const char kRenderUsage[];

// Exit codes: 0 written, 1 the report's errors (on `err`), 3 usage or file error.
int RunRenderCommand(const std::vector<std::string>& args, std::ostream& err);
int RunPagesCommand(const std::vector<std::string>& args, std::ostream& err);

}  // namespace qdr
