// The VuredeVizivo compiler and statement execution: programs compiled from
// text and run, compile errors with their message and position.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "script/helpers.h"
#include "script/il_parser.h"
#include "script/script.h"
#include "test_support.h"

namespace {

// A script with the standard types and a Log procedure collecting values.
class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    sqtest::AddStandardTypes(script_);
    script_.AddVariable("ExceptionClassName", "String", core::Variant(std::string()));
    script_.AddVariable("ExceptionMessage", "String", core::Variant(std::string()));
    script_.AddMethod("procedure Log(v: Variant)",
                      [this](core::TObject*, const core::ClassInfo*, const std::string&,
                             core::Variant& args) {
                        log_.push_back(args.RawArray().items[0].ToString());
                        return core::Variant();
                      });
    script_.AddMethod("procedure Fail(s: String)",
                      [](core::TObject*, const core::ClassInfo*, const std::string&,
                         core::Variant& args) -> core::Variant {
                        throw core::Error(args.RawArray().items[0].ToString());
                      });
  }

  // Compiles and runs; returns the log joined with spaces.
  std::string Run(const std::string& text) {
    script_.SetText(text);
    if (!script_.Compile()) return "compile error " + script_.ErrorPos() + ": " + script_.ErrorMsg();
    log_.clear();
    script_.Execute();
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

TEST_F(Program, Smoke) {
  EXPECT_EQ(Run("var i: Integer; begin for i := 1 to 3 do Log(i) end."), "1 2 3");
}

}  // namespace
