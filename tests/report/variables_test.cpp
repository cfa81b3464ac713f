// Report variables in categories, their file form, and the report's dataset
// functions.
#include <gtest/gtest.h>

#include <sstream>

#include "report/collections.h"
#include "report/component.h"
#include "report/dataset.h"
#include "report/dataset_functions.h"
#include "report/db_dataset.h"
#include "report/report.h"

namespace report {
namespace {

using Names = std::vector<std::string>;

void Fill(TqdrVariables& vars, const Names& names) {
  vars.Clear();
  for (const std::string& n : names) {
    TqdrVariable* v = vars.AddItem();
    v->SetName(n);
    v->SetValue(core::Variant("[" + n + "]"));
  }
}

Names AllNames(const TqdrVariables& vars) {
  Names out;
  for (int i = 0; i < vars.Count(); ++i) out.push_back(vars.Items(i)->Name());
  return out;
}

struct ListCase {
  const char* name;
  Names collection;
  const char* category;
  Names expected;
};

TEST(VariablesTest, GetVariablesList) {
  const std::vector<ListCase> cases = {
      {"empty_category_before_first_header", {"X", " Cat", "A"}, "", {"X"}},
      {"header_first_gives_nothing_for_empty", {" Cat", "A"}, "", {}},
      {"category_up_to_next_header", {" Cat", "A", "B", " Dog", "C"}, "cat", {"A", "B"}},
      {"last_category_to_end", {" Cat", "A", " Dog", "C", "D"}, "Dog", {"C", "D"}},
      {"missing_category", {" Cat", "A"}, "Cow", {}},
  };
  for (const ListCase& c : cases) {
    TqdrVariables vars;
    Fill(vars, c.collection);
    Names list{"stale"};
    vars.GetVariablesList(c.category, list);
    EXPECT_EQ(list, c.expected) << c.name;
  }
}

TEST(VariablesTest, CategoriesAddAndDelete) {
  TqdrVariables vars;
  Fill(vars, {"X", " Cat", "A", " Dog", "C"});
  Names cats{"old"};
  vars.GetCategoriesList(cats, false);
  EXPECT_EQ(cats, (Names{"old", "Cat", "Dog"}));
  vars.GetCategoriesList(cats);
  EXPECT_EQ(cats, (Names{"Cat", "Dog"}));

  vars.AddVariable("Cat", "B", core::Variant(1));
  vars.AddVariable("Dog", "D", core::Variant(2));
  vars.AddVariable("Cow", "Z", core::Variant(3));
  EXPECT_EQ(AllNames(vars), (Names{"X", " Cat", "A", "B", " Dog", "C", "D"}));

  vars.DeleteCategory("cat");
  EXPECT_EQ(AllNames(vars), (Names{"X", " Dog", "C", "D"}));
  vars.DeleteVariable("c");
  vars.DeleteVariable("nosuch");
  EXPECT_EQ(AllNames(vars), (Names{"X", " Dog", "D"}));
}

TEST(VariablesTest, ValueByNameAddsOnWrite) {
  TqdrVariables vars;
  EXPECT_TRUE(vars.Variables("v").IsNull());
  vars.SetVariables("v", core::Variant(5));
  ASSERT_EQ(vars.Count(), 1);
  EXPECT_EQ(vars.Items(0)->Name(), "v");
  vars.SetVariables("V", core::Variant(6));
  EXPECT_EQ(vars.Count(), 1);
  EXPECT_EQ(vars.Variables("v").ToInt32(), 6);
}

TEST(VariablesTest, FileFormRoundTripsAndSkipsOtherChildren) {
  TqdrVariables vars;
  Fill(vars, {" 类别", "姓名", "Quote\"<>"});
  std::stringstream stream;
  vars.SaveToStream(stream);
  const std::string xml = stream.str();
  EXPECT_NE(xml.find("<variables>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<item "), std::string::npos) << xml;

  TqdrVariables back;
  Fill(back, {"stale"});
  std::stringstream in(xml);
  back.LoadFromStream(in);
  EXPECT_EQ(AllNames(back), AllNames(vars));
  EXPECT_EQ(back.Variables("姓名").ToString(), "[姓名]");
  EXPECT_EQ(back.Variables("Quote\"<>").ToString(), "[Quote\"<>]");

  std::stringstream other(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><variables><x Name=\"no\"/>"
      "<item Name=\"yes\" Value=\"1\"/></variables>");
  back.LoadFromStream(other);
  EXPECT_EQ(AllNames(back), Names{"yes"});
  std::stringstream wrongTop("<?xml version=\"1.0\"?><style><item Name=\"no\"/></style>");
  back.LoadFromStream(wrongTop);
  EXPECT_EQ(back.Count(), 0);
}

TEST(DatasetFunctionsTest, LookupsOverTheReportsList) {
  TqdrReport report;
  TqdrDBDataset db;
  db.SetName("QDDBBRXX");
  TqdrUserDataSet user;
  user.SetName("Rows");
  TqdrDBDataset outside;
  outside.SetName("Other");
  report.Datasets()->AddDataSet(&db);
  report.Datasets()->AddDataSet(&user);

  EXPECT_EQ(GetDataset(report, "qddbbrxx"), &db);
  EXPECT_EQ(GetDataset(report, "Other"), nullptr);
  EXPECT_EQ(GetAlias(report, &user), "Rows");
  EXPECT_EQ(GetAlias(report, &outside), "(数据库未加入至 Report.DataSets)");
  EXPECT_EQ(GetAlias(report, nullptr), "");

  TqdrDataSet* ds = nullptr;
  std::string field;
  GetDatasetAndField(report, "QDDBBRXX.\"xm.0000\"", ds, field);
  EXPECT_EQ(ds, &db);
  EXPECT_EQ(field, "xm.0000");
  GetDatasetAndField(report, "QDDBBRXX.xm0000", ds, field);
  EXPECT_EQ(ds, nullptr);
  EXPECT_EQ(field, "");

  std::vector<std::pair<std::string, TqdrDataSet*>> list;
  GetDataSetList(report, list, false);
  EXPECT_EQ(list.size(), 2u);
  GetDataSetList(report, list, true);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].first, "QDDBBRXX");
}

TEST(DatasetFunctionsTest, RenameMovesUserNameOnlyWhileItFollows) {
  TqdrUserDataSet ds;
  ds.SetName("DS1");
  ds.SetName("DS2");
  EXPECT_EQ(ds.UserName(), "DS2");
  ds.SetUserName("Mine");
  ds.SetName("DS3");
  EXPECT_EQ(ds.UserName(), "Mine");
}

}  // namespace
}  // namespace report
