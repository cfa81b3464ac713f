// The report library's process-wide table of texts: every message and caption
// of the library comes from here by key (or by number, written in decimal).
// A key the table does not hold gives the key itself.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace report {

class TqdrResources {
 public:
  // Filled with the library's built-in texts.
  TqdrResources();

  std::string Lookup(std::string_view key) const;
  std::string Lookup(int number) const { return Lookup(std::to_string(number)); }
  // Adds the pair, or replaces the text of an existing key (keeping its position).
  void Store(std::string_view key, std::string_view text);
  // One Store per line "key=text"; lines with an empty key or text are skipped.
  void AddLines(std::string_view text);
  void Clear();
  int Count() const;

  const std::string& HelpFile() const { return helpFile_; }
  void SetHelpFile(const std::string& v) { helpFile_ = v; }
  // Interface languages: the ".qrc" files in `folder` (the program's own folder
  // when empty), first letter upper-cased, the rest lower-cased, sorted.
  std::vector<std::string> Languages(const std::string& folder = {}) const;

 private:
  struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  mutable std::mutex lock_;
  std::map<std::string, size_t, NoCaseLess> keys_;
  std::vector<std::string> texts_;
  std::string helpFile_ = "RARevo.did";
};

// The one instance, created on first use.
TqdrResources& Resources();

}  // namespace report
