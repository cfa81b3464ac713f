// The report's expression context: lookup order, the expression cache, the
// script preparation and the host functions scripts call back.
#include <gtest/gtest.h>

#include "core/error.h"
#include "report/band.h"
#include "report/collections.h"
#include "report/dataset.h"
#include "report/expression_cache.h"
#include "report/memo_text.h"
#include "report/options.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "script/script.h"

namespace report {
namespace {

// A dataset of one record: "MRN" is a string, "AGE" a number, "DEAD" a
// Boolean; every field reads null unless given a value.
class OneRow : public TqdrUserDataSet {
 public:
  TqdrFieldType FieldType(const std::string& field) override {
    if (field == "AGE") return TqdrFieldType::fftNumeric;
    if (field == "DEAD") return TqdrFieldType::fftBoolean;
    return TqdrFieldType::fftString;
  }
};

struct AggregateCall {
  std::string name, expr;
  core::TObject* band;
  int flags;
};

class FakeEngine : public TqdrEngineLink {
 public:
  TqdrRunCounters RunCounters() const override { return counters; }
  core::Variant AggregateValue(const std::string& name, const std::string& expr,
                               core::TObject* band, int flags) override {
    calls.push_back({name, expr, band, flags});
    return core::Variant(int32_t{100});
  }
  core::TObject* EngineObject() override { return &engineObject; }
  core::TObject* OutlineObject() override { return &outlineObject; }
  void ClearNotifyList() override { ++notifyClears; }

  TqdrRunCounters counters;
  std::vector<AggregateCall> calls;
  core::TObject engineObject, outlineObject;
  int notifyClears = 0;
};

class ExpressionContextTest : public testing::Test {
 protected:
  void SetUp() override {
    rows_.SetName("QDDBBRXX");
    rows_.Fields()->SetLines({"MRN", "AGE", "DEAD"});
    rows_.OnGetValue = [this](const std::string& field, core::Variant& v) {
      ++fieldReads_;
      if (field == "MRN" && !nullMrn_) v = core::Variant("000123");
      if (field == "AGE" && !nullMrn_) v = core::Variant(int32_t{41});
    };
    report_.Datasets()->AddDataSet(&rows_);
    report_.SetEngineLink(&engine_);
    page_ = new TqdrReportPage(&report_);
    page_->SetParent(&report_);
    page_->SetName("Page1");
    band_ = new TqdrMasterData(&report_);
    band_->SetParent(page_);
    band_->SetName("MasterData1");
  }
  // Runs `expr` expecting an error; returns its message.
  std::string CalcError(const std::string& expr) {
    try {
      report_.Calc(expr);
    } catch (const core::Error& e) {
      return e.what();
    }
    return "<no error>";
  }

  TqdrReport report_;
  OneRow rows_;
  FakeEngine engine_;
  TqdrReportPage* page_ = nullptr;
  TqdrMasterData* band_ = nullptr;
  int fieldReads_ = 0;
  bool nullMrn_ = false;
};

TEST_F(ExpressionContextTest, FieldReferenceNeedsNoCompiling) {
  ASSERT_TRUE(report_.PrepareScript());
  EXPECT_EQ("000123", report_.Calc("QDDBBRXX.\"MRN\"").ToString());
  EXPECT_EQ(0, report_.ExpressionCache()->Count());
  EXPECT_EQ(1, fieldReads_);
}

TEST_F(ExpressionContextTest, NullFieldsFollowConvertNulls) {
  nullMrn_ = true;
  struct Case {
    const char* expr;
    bool convert;
    const char* type;  // "null", or the variant's text with its kind
    const char* text;
  };
  const Case cases[] = {
      {"QDDBBRXX.\"MRN\"", true, "string", ""},        {"QDDBBRXX.\"AGE\"", true, "number", "0"},
      {"QDDBBRXX.\"DEAD\"", true, "boolean", "False"}, {"QDDBBRXX.\"MRN\"", false, "null", ""},
      {"QDDBBRXX.\"AGE\"", false, "null", ""},
  };
  for (const Case& c : cases) {
    report_.EngineOptions()->SetConvertNulls(c.convert);
    core::Variant v = report_.Calc(c.expr);
    const std::string type = c.type;
    SCOPED_TRACE(std::string(c.expr) + (c.convert ? " converted" : " as is"));
    EXPECT_EQ(type == "null", v.IsNull());
    EXPECT_EQ(type == "string", v.IsString());
    EXPECT_EQ(type == "boolean", v.IsBoolean());
    if (type != "null") {
      EXPECT_EQ(c.text, v.ToString());
    }
  }
}

TEST_F(ExpressionContextTest, SystemVariablesIgnoreLetterCase) {
  engine_.counters.currentPage = 2;
  engine_.counters.firstReportPage = 1;
  engine_.counters.totalPages = 5;
  EXPECT_EQ(3, report_.Calc("Page#").ToInt32());
  EXPECT_EQ(3, report_.Calc("page#").ToInt32());
  EXPECT_EQ(2, report_.Calc("PAGE").ToInt32());
  EXPECT_EQ(4, report_.Calc("TotalPages").ToInt32());
  EXPECT_EQ(5, report_.Calc("TotalPages#").ToInt32());
  EXPECT_EQ(0, report_.ExpressionCache()->Count());
}

TEST_F(ExpressionContextTest, EachDistinctTextCompilesOnce) {
  ASSERT_TRUE(report_.PrepareScript());
  EXPECT_EQ(3, report_.Calc("1+2").ToInt32());
  EXPECT_EQ(3, report_.Calc("1+2").ToInt32());
  EXPECT_EQ(1, report_.ExpressionCache()->Count());
  EXPECT_NE(nullptr, report_.ExpressionCache()->Script().FindLocal("qr3f0"));
  EXPECT_EQ(2, report_.Calc("LENGTH('ab')").ToInt32());
  EXPECT_EQ(2, report_.Calc("length('ab')").ToInt32()) << "names ignore case";
  EXPECT_EQ(2, report_.ExpressionCache()->Count());
  // Literals keep their case: a shared function would answer 'abc' here.
  EXPECT_EQ("abc", report_.Calc("'abc'").ToString());
  EXPECT_EQ("ABC", report_.Calc("'ABC'").ToString());
  EXPECT_EQ(4, report_.ExpressionCache()->Count());
  // Earlier functions stay callable after later compiles.
  EXPECT_EQ(3, report_.Calc("1+2").ToInt32());
  ASSERT_TRUE(report_.PrepareScript());
  EXPECT_EQ(0, report_.ExpressionCache()->Count()) << "a new preparation empties the cache";
}

TEST_F(ExpressionContextTest, CompileErrorsAreListedOnceAndRaised) {
  ASSERT_TRUE(report_.PrepareScript());
  const std::string first = CalcError("1+");
  EXPECT_EQ(0u, first.find("运算式错误 '1+': ")) << first;
  EXPECT_GT(first.size(), std::string("运算式错误 '1+': ").size()) << "the compiler's message";
  CalcError("1+");
  CalcError("1+");
  EXPECT_EQ(std::vector<std::string>{first}, report_.Errors());
  EXPECT_EQ(0, report_.ExpressionCache()->Count()) << "failures are not cached";
  // The next text takes the number the failed one would have had.
  EXPECT_EQ(7, report_.Calc("3+4").ToInt32());
  EXPECT_NE(nullptr, report_.ExpressionCache()->Script().FindLocal("qr3f0"));

  report_.SetCurrentObjectName("Memo7");
  const std::string named = CalcError("1 div 0");
  EXPECT_EQ(0u, named.find("Memo7: ")) << named;
  EXPECT_NE(std::string::npos, named.find("Division by zero")) << named;
}

TEST_F(ExpressionContextTest, IifEvaluatesOnlyTheChosenBranch) {
  ASSERT_TRUE(report_.PrepareScript());
  EXPECT_EQ(5, report_.Calc("IIF(False, 1 div 0, 5)").ToInt32());
  EXPECT_EQ(1, report_.Calc("IIF(2 > 1, 1, 1 div 0)").ToInt32());
  EXPECT_TRUE(report_.Errors().empty());
}

TEST_F(ExpressionContextTest, GetResolvesNamesOrListsThemAsUnknown) {
  ASSERT_TRUE(report_.PrepareScript());
  report_.Variables()->SetVariables("Formula", core::Variant("2*3"));
  EXPECT_EQ("2*3", report_.Calc("Formula").ToString()) << "variables are not evaluated";
  EXPECT_EQ("2*3", report_.Calc("<Formula>").ToString());
  EXPECT_EQ(42, report_.Calc("<QDDBBRXX.\"AGE\"> + 1").ToInt32());
  EXPECT_TRUE(report_.Calc("<Nowhere>").IsNull());
  EXPECT_EQ(std::vector<std::string>{"未知的变量或数据库字段: Nowhere"}, report_.Errors());
}

TEST_F(ExpressionContextTest, ApplicationValuesComeBeforeReportVariables) {
  report_.Variables()->SetVariables("Hospital", core::Variant("variable"));
  report_.OnGetValue = [](const std::string& name, core::Variant& v) {
    if (name == "Hospital") v = core::Variant("application");
  };
  EXPECT_EQ("application", report_.Calc("Hospital").ToString());
}

TEST_F(ExpressionContextTest, AggregateMacrosReachTheEngineWithTheirTexts) {
  ASSERT_TRUE(report_.PrepareScript());
  EXPECT_EQ(100, report_.Calc("SUM(<QDDBBRXX.\"AGE\">, MasterData1, 1 + 2)").ToInt32());
  EXPECT_EQ(100, report_.Calc("COUNT()").ToInt32());
  EXPECT_EQ(100, report_.GetVariable("AVG(Value)").ToInt32()) << "Get passes aggregates on";
  ASSERT_EQ(3u, engine_.calls.size());
  EXPECT_EQ("SUM", engine_.calls[0].name);
  EXPECT_EQ("<QDDBBRXX.\"AGE\">", engine_.calls[0].expr) << "the text, not its value";
  EXPECT_EQ(band_, engine_.calls[0].band);
  EXPECT_EQ(3, engine_.calls[0].flags);
  EXPECT_EQ("COUNT", engine_.calls[1].name);
  EXPECT_EQ("", engine_.calls[1].expr);
  EXPECT_EQ(nullptr, engine_.calls[1].band);
  EXPECT_EQ(0, engine_.calls[1].flags);
  EXPECT_EQ("AVG", engine_.calls[2].name);
  EXPECT_EQ("Value", engine_.calls[2].expr);
}

TEST_F(ExpressionContextTest, PrepareScriptRegistersObjectsAndRunsTheMainScript) {
  report_.ScriptText()->SetLines(
      {"var Total: Integer;", "begin", "  Total := 4;", "  Set('Made', 'yes');", "end."});
  ASSERT_TRUE(report_.PrepareScript()) << report_.ErrorsText();
  EXPECT_EQ(1, engine_.notifyClears);
  report_.Script()->Execute();
  EXPECT_EQ("yes", report_.Variables()->Variables("Made").ToString());
  EXPECT_EQ(4, report_.Calc("Total").ToInt32()) << "script variables resolve without compiling";
  report_.SetScriptValue(core::Variant(int32_t{9}));
  EXPECT_EQ(10, report_.Calc("Value + 1").ToInt32());
  // Preparing again replaces the report's registrations instead of adding twice.
  ASSERT_TRUE(report_.PrepareScript()) << report_.ErrorsText();
  EXPECT_EQ(report_.Script()->Find("MasterData1"), report_.Script()->FindLocal("masterdata1"));
}

TEST_F(ExpressionContextTest, MemoGetDataHandsItsValueToTheScript) {
  auto* memo = new TqdrMemoView(&report_);
  memo->SetParent(band_);
  memo->SetName("Memo1");
  memo->SetText("Age [QDDBBRXX.\"AGE\"]");
  ASSERT_TRUE(report_.PrepareScript());
  MemoGetData(*memo, [this](const std::string& e) { return report_.Calc(e); });
  EXPECT_EQ("Age 41", memo->Text());
  EXPECT_EQ(42, report_.Calc("Value + 1").ToInt32());
}

TEST_F(ExpressionContextTest, ScriptThatDoesNotCompileIsListedWithItsPosition) {
  report_.ScriptText()->SetLines({"begin", "  x := ;", "end."});
  EXPECT_FALSE(report_.PrepareScript());
  ASSERT_EQ(1u, report_.Errors().size());
  EXPECT_EQ(0u, report_.Errors()[0].find("Script 错误在 2:")) << report_.Errors()[0];
}

TEST_F(ExpressionContextTest, UnknownLanguageGivesTheExpressionError) {
  report_.SetScriptLanguage("Klingon");
  report_.PrepareScript();
  const std::string error = CalcError("1+2");
  EXPECT_EQ("运算式错误 '1+2': Language 'Klingon' not found", error);
}

TEST(ExpressionCacheTest, SourcesPerLanguage) {
  EXPECT_EQ("function qr3f0: Variant; begin Result := 1 end; begin end.",
            TqdrExpressionCache::FunctionSource("vuredevizivo", "qr3f0", "1"));
  EXPECT_EQ("Variant qr3f1() { return a; } {}",
            TqdrExpressionCache::FunctionSource("D++Azirez", "qr3f1", "a"));
  EXPECT_EQ("function qr3f2\r\nreturn a\r\nend function",
            TqdrExpressionCache::FunctionSource("VazerUdorid", "qr3f2", "a"));
  EXPECT_EQ("function qr3f3() { return a; }",
            TqdrExpressionCache::FunctionSource("JScript", "qr3f3", "a"));
  EXPECT_EQ("", TqdrExpressionCache::FunctionSource("Basic", "qr3f4", "a"));
}

}  // namespace
}  // namespace report
