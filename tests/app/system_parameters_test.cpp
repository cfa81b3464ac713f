// System parameters and dictionary defaults, on empty tables and with rows.
#include "app/system_parameters.h"

#include <gtest/gtest.h>

#include "demo_fixture.h"

namespace {

class SystemParametersTest : public DemoDatabaseTest {
 protected:
  void Load() {
    app::DataModule().DBHis.SetParam("DATABASE NAME", dbPath_);
    app::DataModule().DBHis.Open();
    app::LoadSystemParameters();
  }
};

TEST_F(SystemParametersTest, EmptyTablesGiveTheDefaults) {
  Exec("DELETE FROM XT_XTCS00");
  Exec("DELETE FROM XT_ZD0000");
  Load();
  const app::HisGlobals& g = app::Globals();
  EXPECT_EQ(g.LookupColumns[1], "DM0000;");
  EXPECT_EQ(g.LookupCaptions[5], "拼音首码;");
  EXPECT_EQ(g.LookupColumns[14], "ICD100;PYSM00;");
  EXPECT_EQ(g.LookupCaptions[14], "ICD-10码;拼音首码;");
  EXPECT_EQ(g.LookupColumns[15], "DM0000") << "ZLXG00 has no trailing separator";
  EXPECT_EQ(g.LookupCaptions[16], "CM-3码;拼音首码;");
  EXPECT_EQ(g.LookupColumns[21], "DM0000;");
  EXPECT_EQ(g.LookupColumns[22], "") << "JFFS00 has no default";
  const app::TDefaultData& d = g.DictionaryDefaults;
  const char* expected[21] = {"男性", "已婚", "本市(地)", "福建省", "福州市", "汉族", "中国", "其他", "符合", "符合",
                              "",     "",     "",         "20",     "",       "",     "",     "1000", "50",   "",
                              ""};
  for (int i = 0; i < 21; ++i) EXPECT_EQ(d[i], expected[i]) << "field " << i;
}

TEST_F(SystemParametersTest, RowsOfThisSystemOverrideTheDefaults) {
  Exec("INSERT INTO XT_XTCS00 VALUES ('3', 'ZYBF00', '病房', ''), ('3', 'XB0000', 'LAST;', 'last wins;')");
  Load();
  const app::HisGlobals& g = app::Globals();
  EXPECT_EQ(g.LookupColumns[1], "LAST;") << "the last row of a name wins";
  EXPECT_EQ(g.LookupCaptions[1], "last wins;");
  EXPECT_EQ(g.LookupColumns[11], "PYSM00;") << "a row of another system is not read";
  const app::TDefaultData& d = g.DictionaryDefaults;
  EXPECT_EQ(d[13], "20") << "NUM000 stored as 0";
  EXPECT_EQ(d[17], "1200");
  EXPECT_EQ(d[18], "50") << "HH0000 belongs to system 1";
  EXPECT_EQ(d[14], "是") << "owner NULL counts";
  EXPECT_EQ(d[15], "") << "LRCXXG has no row";
  EXPECT_EQ(d[16], "否") << "owner empty counts, blank value becomes 否";
  EXPECT_EQ(d[19], "门诊");
  EXPECT_EQ(d[20], "病房");
  EXPECT_EQ(d[7], "社会基本医疗保险");
  EXPECT_EQ(d[1], "已婚");
  EXPECT_EQ(d[8], "符合");
}

TEST_F(SystemParametersTest, MissingTableRaises) {
  Exec("DROP TABLE XT_ZD0000");
  EXPECT_THROW(Load(), std::exception);
}

}  // namespace
