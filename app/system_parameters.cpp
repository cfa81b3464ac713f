// System parameters (XT_XTCS00) and dictionary defaults (XT_ZD0000).
#include "app/system_parameters.h"

#include <cstring>

#include "app/data_module.h"
#include "app/his_globals.h"
#include "app/password.h"

namespace app {

namespace {

struct LookupDefault {
  const char* name;
  const char* columns;
  const char* captions;
};

// Index 1..25 of the lookup records; the first 21 have defaults.
const LookupDefault kLookups[25] = {
    {"XB0000", "DM0000;", "代码;"},          {"HYZK00", "DM0000;", "代码;"},
    {"ZY0000", "DM0000;", "代码;"},          {"BRLY00", "DM0000;", "代码;"},
    {"CSSF00", "PYSM00;", "拼音首码;"},      {"CSXS00", "PYSM00;", "拼音首码;"},
    {"MZ0000", "PYSM00;", "拼音首码;"},      {"GJ0000", "DM0000;", "代码;"},
    {"XX0000", "DM0000;", "代码;"},          {"LXRGX0", "DM0000;", "代码;"},
    {"KB0000", "PYSM00;", "拼音首码;"},      {"RYQK00", "DM0000;", "代码;"},
    {"ZDLB00", "DM0000;", "代码;"},          {"ICD000", "ICD100;PYSM00;", "ICD-10码;拼音首码;"},
    {"ZLXG00", "DM0000", "代码"},            {"CM3000", "CM3000;PYSM00;", "CM-3码;拼音首码;"},
    {"MZFS00", "DM0000;", "代码;"},          {"QKYHDJ", "DM0000;", "代码;"},
    {"YS0000", "PYSM00;", "拼音首码;"},      {"GMYW00", "PYSM00;", "拼音首码;"},
    {"SZQX00", "DM0000;", "代码;"},          {"JFFS00", nullptr, nullptr},
    {"SHRY00", nullptr, nullptr},            {"FZRY00", nullptr, nullptr},
    {"YZ0000", nullptr, nullptr},
};

struct DictionaryDefault {
  const char* code;
  const char* value;
};
const DictionaryDefault kDictionaries[8] = {
    {"XB0000", "男性"}, {"HYZK00", "已婚"}, {"BRLY00", "本市(地)"}, {"CSSF00", "福建省"},
    {"CSXS00", "福州市"}, {"MZ0000", "汉族"}, {"GJ0000", "中国"},   {"JFFS00", "其他"},
};

}  // namespace

void LoadSystemParameters() {
  HisGlobals& g = Globals();
  TDefaultData& d = g.DictionaryDefaults;
  platform::DbQuery& q = DataModule().qryCmd;
  d[19].clear();
  d[20].clear();

  OpenQuery(q, {"SELECT * FROM XT_XTCS00 WHERE SSXT00='3' OR SSXT00 IS NULL OR SSXT00=''"});
  for (q.First(); !q.Eof(); q.Next()) {
    std::string name = q.FieldByName("NAME00").AsString();
    std::string value = q.FieldByName("VALUE0").AsString();
    if (name == "IME000") continue;
    bool lookup = false;
    for (int i = 0; i < 25; ++i) {
      if (name == kLookups[i].name) {
        g.LookupColumns[i + 1] = value;
        g.LookupCaptions[i + 1] = q.FieldByName("DESC00").AsString();
        lookup = true;
        break;
      }
    }
    if (lookup) continue;
    if (name == "NUM000") d[13] = value;
    else if (name == "HW0000") d[17] = value;
    else if (name == "HH0000") d[18] = value;
    else if (name == "ZLXTM0") d[14] = DefaultIfBlank(value, "否");
    else if (name == "LRCXXG") d[15] = DefaultIfBlank(value, "否");
    else if (name == "SHOW00") d[16] = DefaultIfBlank(value, "否");
    else if (name == "MZXM00") d[19] = value;
    else if (name == "ZYBF00") d[20] = value;
  }
  for (int i = 0; i < 21; ++i) {
    g.LookupColumns[i + 1] = DefaultIfBlank(g.LookupColumns[i + 1], kLookups[i].columns);
    g.LookupCaptions[i + 1] = DefaultIfBlank(g.LookupCaptions[i + 1], kLookups[i].captions);
  }
  d[13] = DefaultIfBlank(d[13], "20");
  d[17] = DefaultIfBlank(d[17], "1000");
  d[18] = DefaultIfBlank(d[18], "50");
  if (d[13] == "0") d[13] = "20";

  OpenQuery(q, {"SELECT DISTINCT ZDBM00,VALUE0 FROM XT_ZD0000 WHERE MRBZ00='1'"});
  for (q.First(); !q.Eof(); q.Next()) {
    std::string code = q.FieldByName("ZDBM00").AsString();
    std::string value = q.FieldByName("VALUE0").AsString();
    for (int i = 0; i < 8; ++i)
      if (code == kDictionaries[i].code) d[i] = value;
    if (code == "FH0000") {
      d[8] = value;
      d[9] = value;
      d[10].clear();
      d[11].clear();
      d[12].clear();
    }
  }
  for (int i = 0; i < 8; ++i) d[i] = DefaultIfBlank(d[i], kDictionaries[i].value);
  d[8] = DefaultIfBlank(d[8], "符合");
  d[9] = DefaultIfBlank(d[9], "符合");
  d[10].clear();
  d[11].clear();
  d[12].clear();
}

}  // namespace app
