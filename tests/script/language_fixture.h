// Shared by the tests of the script languages: a script with the runtime
// library in one language, a Log procedure collecting values, and a Get
// stand-in for the report's references.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "script/classes_module.h"
#include "script/dialogs_module.h"
#include "script/script.h"
#include "script/system_module.h"

namespace sqtest {

// A script with the runtime library and a Log procedure collecting values.
class LanguageFixture : public ::testing::Test {
 protected:
  // The runtime library, a Log procedure and a Get stand-in, in `language`.
  void SetUpLanguage(const char* language) {
    sq::RegisterSystemModule();
    sq::RegisterClassesModule();
    sq::RegisterFormsModule();
    sq::RegisterDialogsModule();
    script_.AddRTTI();
    script_.SetSyntaxType(language);
    script_.AddMethod("procedure Log(v: Variant)", [this](core::TObject*, const core::ClassInfo*,
                                                          const std::string&, core::Variant& args) {
      log_.push_back(args.RawArray().items[0].ToString());
      return core::Variant();
    });
    script_.AddMethod(
        "function Get(s: String): Variant",
        [](core::TObject*, const core::ClassInfo*, const std::string&, core::Variant& args) {
          return core::Variant("got " + args.RawArray().items[0].ToString());
        });
  }

  // Compiles and runs; returns the log joined with spaces.
  std::string Run(const std::string& text) {
    script_.SetText(text);
    if (!script_.Compile())
      return "compile error " + script_.ErrorPos() + ": " + script_.ErrorMsg();
    log_.clear();
    try {
      script_.Execute();
    } catch (const core::Error& e) {
      return std::string("error: ") + e.what();
    }
    std::string out;
    for (const auto& s : log_) out += (out.empty() ? "" : " ") + s;
    return out;
  }

  std::string CompileError(const std::string& text) {
    script_.SetText(text);
    if (script_.Compile()) return "compiled";
    return script_.ErrorPos() + " " + script_.ErrorMsg();
  }

  sq::TsqScript script_;
  std::vector<std::string> log_;
};

struct ProgramCase {
  const char* name;
  const char* text;
  const char* log;
};

}  // namespace sqtest
