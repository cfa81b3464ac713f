// The survey form design and the shipped template files built from it.
#include "app/survey_design.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "app/survey_layout.h"
#include "demo_fixture.h"
#include "report/band.h"
#include "report/dataset.h"
#include "report/frame.h"
#include "report/page.h"
#include "report/report.h"
#include "report/types.h"
#include "report/view.h"

namespace {

using namespace report;

std::vector<TqdrMemoView*> Memos(TqdrReport& r) {
  std::vector<TqdrMemoView*> out;
  auto* band = dynamic_cast<TqdrBand*>(r.FindObject("MasterData1"));
  if (!band) return out;
  for (TqdrComponent* c : band->Objects())
    if (auto* m = dynamic_cast<TqdrMemoView*>(c)) out.push_back(m);
  return out;
}

TEST(SurveyDesign, HoldsTheFormsMemos) {
  TqdrUserDataSet ds;
  ds.SetName("QDDBBRXX");
  TqdrReport r;
  app::BuildSurveyDesign(r, &ds);
  std::vector<TqdrMemoView*> memos = Memos(r);
  ASSERT_EQ(memos.size(), 160u);
  std::set<std::string> names;
  int underlined = 0, leftUnderlined = 0;
  for (TqdrMemoView* m : memos) {
    names.insert(m->Name());
    EXPECT_EQ(m->VAlign(), TqdrVAlign::vaCenter) << m->Name();
    if (m->Frame()->Typ() == frame_typ::ftBottom) {
      ++underlined;
      if (m->HAlign() == TqdrHAlign::haLeft) ++leftUnderlined;
      EXPECT_FALSE(m->WordWrap()) << m->Name();
    }
  }
  EXPECT_EQ(names.size(), 160u) << "names are unique";
  EXPECT_EQ(underlined, 70);
  EXPECT_EQ(leftUnderlined, 10) << "organisation code, hospital name, record number and seven signature blanks";
  for (const char* n : {"Memo_HospitalName", "Memo_jgdm", "Memo_yymc", "Memo_tbr", "Memo1", "Memo157"})
    EXPECT_TRUE(names.count(n)) << n;
  for (const char* n : {"Memo8", "Memo10", "Memo148", "Memo158"}) EXPECT_FALSE(names.count(n)) << n;
  auto* title = dynamic_cast<TqdrMemoView*>(r.FindObject("Memo_HospitalName"));
  ASSERT_TRUE(title);
  EXPECT_EQ(title->Text(), "医院出院病人调查表");
  EXPECT_EQ(title->Font()->Height(), -19);
  EXPECT_NEAR(title->Left(), 32.0 * 3.77953, 1e-9);
  EXPECT_NEAR(title->Height(), 31.89765, 1e-9);
  auto* page = dynamic_cast<TqdrReportPage*>(r.FindObject("Page1"));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->PaperSize(), 9);
  EXPECT_EQ(r.DataSet(), &ds);
}

TEST(SurveyDesign, ShippedTemplateMatchesTheDesign) {
  TqdrUserDataSet ds;
  ds.SetName("QDDBBRXX");
  TqdrReport built;
  app::BuildSurveyDesign(built, &ds);
  for (const char* file : {"医院出院病人调查表(病案).qr3", "医院出院病人调查表.qr3"}) {
    SCOPED_TRACE(file);
    TqdrReport loaded;
    ASSERT_TRUE(loaded.LoadFromFile(std::string(SURVEY_SOURCE_DIR) + "/data/" + file));
    std::vector<TqdrMemoView*> a = Memos(built), b = Memos(loaded);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i]->Name(), b[i]->Name());
      EXPECT_EQ(a[i]->Text(), b[i]->Text()) << a[i]->Name();
      EXPECT_NEAR(a[i]->Left(), b[i]->Left(), 1e-6) << a[i]->Name();
      EXPECT_NEAR(a[i]->Top(), b[i]->Top(), 1e-6) << a[i]->Name();
      EXPECT_NEAR(a[i]->Width(), b[i]->Width(), 1e-6) << a[i]->Name();
      EXPECT_EQ(a[i]->Frame()->Typ(), b[i]->Frame()->Typ()) << a[i]->Name();
      EXPECT_EQ(a[i]->Font()->Height(), b[i]->Font()->Height()) << a[i]->Name();
    }
  }
}

class SurveyTemplateInDatabase : public DemoDatabaseTest {};

TEST_F(SurveyTemplateInDatabase, ReportDefinitionCarriesThePrintTemplate) {
  std::ifstream in(std::string(SURVEY_SOURCE_DIR) + "/data/医院出院病人调查表(病案).qr3", std::ios::binary);
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(file.empty());
  platform::DbSession s("Check");
  s.SetParam("DATABASE NAME", dbPath_);
  s.Open();
  platform::DbResultSet rows = s.Run("SELECT BBMB00, MBMC00 FROM XT_BBMC00 WHERE BBMC00 = '首页报盘处理'");
  ASSERT_EQ(rows.RecordCount(), 1);
  EXPECT_EQ(rows.FieldByName("BBMB00").AsBytes(), file);
  EXPECT_EQ(rows.FieldByName("MBMC00").AsString(), "医院出院病人调查表(病案).qr3");
}

}  // namespace
