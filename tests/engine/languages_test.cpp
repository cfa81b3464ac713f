// The four script languages over one engine: the same small program (a
// function, loops, string building, an array, a caught exception) gives the
// same result in each, and reports written in each evaluate their expressions.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/preview_pages.h"
#include "report/band.h"
#include "report/page.h"
#include "report/report.h"
#include "report/view.h"
#include "script/script.h"
#include "template_builder.h"

namespace engine {
namespace {

struct Program {
  const char* language;
  const char* source;        // sets R
  const char* emptyProgram;  // a main program doing nothing
  const char* handler;       // procedure BandBefore(Sender) adding to Seen
  const char* seen;          // Seen after three rows
};

const Program kSamePrograms[] = {
    {"VuredeVizivo",
     "var R, s, e: String; i, t, z: Integer; a: array[5] of Integer;\r\n"
     "function Sq(n: Integer): Integer; begin Result := n * n end;\r\n"
     "begin\r\n"
     "  t := 0; for i := 1 to 10 do t := t + Sq(i);\r\n"
     "  s := ''; i := 1; while i <= 5 do begin s := s + IntToStr(i); i := i + 1 end;\r\n"
     "  for i := 0 to 4 do a[i] := i * i;\r\n"
     "  z := 0; e := 'none'; try i := 1 div z except e := 'caught' end;\r\n"
     "  R := IntToStr(t) + ',' + s + ',' + IntToStr(a[0] + a[1] + a[2] + a[3] + a[4]) + ',' + e\r\n"
     "end.",
     "begin end.",
     "var Seen: String;\r\n"
     "procedure BandBefore(Sender: TqdrBand); begin Seen := Seen + Sender.Name + ',' end;\r\n"
     "begin end.",
     "MasterData1,MasterData1,"},
    {"D++Azirez",
     "String R, s, e; int i, t, z; int a[5];\r\n"
     "int Sq(int n) { return n * n; }\r\n"
     "{\r\n"
     "  t = 0; for (i = 1; i <= 10; i++) t = t + Sq(i);\r\n"
     "  s = \"\"; i = 1; while (i <= 5) { s = s + IntToStr(i); i++; }\r\n"
     "  for (i = 0; i <= 4; i++) a[i] = i * i;\r\n"
     "  z = 0; e = \"none\"; try { i = 1 div z; } except { e = \"caught\"; }\r\n"
     "  R = IntToStr(t) + \",\" + s + \",\" + IntToStr(a[0] + a[1] + a[2] + a[3] + a[4]) + \",\" + "
     "e;\r\n"
     "}",
     "{}",
     "String Seen;\r\n"
     "void BandBefore(TqdrBand Sender) { Seen = Seen + Sender.Name + \",\"; }\r\n"
     "{}",
     "MasterData1,MasterData1,"},
    {"VazerUdorid",
     "DIM R AS String, s AS String, e AS String, i AS Integer, t AS Integer, z AS Integer, a[5]\r\n"
     "FUNCTION Sq(n AS Integer) AS Integer\r\n"
     "  RETURN n * n\r\n"
     "END FUNCTION\r\n"
     "t = 0\r\n"
     "FOR i = 1 TO 10\r\n"
     "  t = t + Sq(i)\r\n"
     "NEXT\r\n"
     "s = \"\" : i = 1\r\n"
     "WHILE i <= 5\r\n"
     "  s = s & IntToStr(i) : i = i + 1\r\n"
     "WEND\r\n"
     "FOR i = 0 TO 4\r\n"
     "  a[i] = i * i\r\n"
     "NEXT\r\n"
     "z = 0 : e = \"none\"\r\n"
     "TRY\r\n"
     "  i = 1 \\ z\r\n"
     "CATCH\r\n"
     "  e = \"caught\"\r\n"
     "END TRY\r\n"
     "R = IntToStr(t) & \",\" & s & \",\" & IntToStr(a[0] + a[1] + a[2] + a[3] + a[4]) & \",\" & e",
     "DIM unused",
     "DIM Seen AS String\r\n"
     "SUB BandBefore(Sender AS TqdrBand)\r\n"
     "  Seen = Seen & Sender.Name & \",\"\r\n"
     "END SUB",
     "MasterData1,MasterData1,"},
    {"JScript",
     "var R, s, e, i, t, z, a[5];\r\n"
     "function Sq(n) { return n * n; }\r\n"
     "t = 0; for (i = 1; i <= 10; i++) t = t + Sq(i);\r\n"
     "s = \"\"; i = 1; while (i <= 5) { s = s + IntToStr(i); i++; }\r\n"
     "for (i = 0; i <= 4; i++) a[i] = i * i;\r\n"
     "z = 0; e = \"none\"; try { i = 1 div z; } except { e = \"caught\"; }\r\n"
     "R = IntToStr(t) + \",\" + s + \",\" + IntToStr(a[0] + a[1] + a[2] + a[3] + a[4]) + \",\" + "
     "e;",
     "",
     // Untyped names resolve their members when the script compiles, so the
     // handler reads the band through its report name.
     "var Seen = \"\";\r\n"
     "function BandBefore(Sender) { Seen = Seen + MasterData1.Name + \",\"; }",
     "MasterData1,MasterData1,"},
};

class LanguagesTest : public testing::TestWithParam<Program> {};

TEST_P(LanguagesTest, SameProgramSameResult) {
  report::TqdrReport r;
  TqdrPreviewPages pages(&r);
  TqdrEngine engine(r, pages);
  r.SetScriptLanguage(GetParam().language);
  r.ScriptText()->SetText(GetParam().source);
  ASSERT_TRUE(r.PrepareScript()) << r.ErrorsText();
  r.Script()->Execute();
  EXPECT_EQ("385,12345,30,caught", r.Calc("R").ToString());
}

TEST_P(LanguagesTest, ReportExpressionsInTheLanguage) {
  report::TqdrReport r;
  TqdrPreviewPages pages(&r);
  TqdrEngine engine(r, pages);
  auto* band = enginetest::AddBand<report::TqdrMasterData>(r, enginetest::AddPage(r, "Page1"),
                                                           "MasterData1", 0, 0, 700, 30);
  band->SetRowCount(2);
  enginetest::AddMemo(r, band, "Memo1", "[1 + 2] [<Line> * 10] [Length(MasterData1.Name)]");
  r.SetScriptLanguage(GetParam().language);
  r.ScriptText()->SetText(GetParam().emptyProgram);
  ASSERT_TRUE(r.PrepareScript()) << r.ErrorsText();
  ASSERT_TRUE(engine.BuildPages()) << r.ErrorsText();
  EXPECT_TRUE(r.Errors().empty()) << r.ErrorsText();
  std::string texts;
  for (report::TqdrComponent* c : pages.PageAt(0)->AllObjects())
    if (auto* m = dynamic_cast<report::TqdrCustomMemoView*>(c)) texts += m->Text() + ";";
  EXPECT_EQ("3 10 11;3 20 11;", texts);
}

TEST_P(LanguagesTest, BandEventHandlerInTheLanguage) {
  report::TqdrReport r;
  TqdrPreviewPages pages(&r);
  TqdrEngine engine(r, pages);
  auto* band = enginetest::AddBand<report::TqdrMasterData>(r, enginetest::AddPage(r, "Page1"),
                                                           "MasterData1", 0, 0, 700, 30);
  band->SetRowCount(2);
  band->SetOnBeforePrint("BandBefore");
  r.SetScriptLanguage(GetParam().language);
  r.ScriptText()->SetText(GetParam().handler);
  ASSERT_TRUE(r.PrepareScript()) << r.ErrorsText();
  r.Script()->Execute();  // the main program first, as Prepare runs it
  ASSERT_TRUE(engine.BuildPages()) << r.ErrorsText();
  EXPECT_EQ(GetParam().seen, r.Calc("Seen").ToString());
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguagesTest, testing::ValuesIn(kSamePrograms),
                         [](const testing::TestParamInfo<Program>& info) {
                           std::string name;
                           for (const char* c = info.param.language; *c; ++c)
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           return name;
                         });

}  // namespace
}  // namespace engine
