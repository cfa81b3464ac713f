// Connection settings and hospital identity from the registry stand-in.
#include <gtest/gtest.h>

#include "app/his_globals.h"
#include "app/password.h"
#include "core/error.h"
#include "platform/settings/ini_settings.h"

using platform::IniSettings;

namespace {

void Load(const std::string& ini) {
  app::SetRegistry(IniSettings::FromText(ini));
  app::LoadConnectionSettings();
}

TEST(LoadConnectionSettings, KeyMissingLeavesSettingsEmptyButImeDefaults) {
  Load("[SOFTWARE\\Other]\nDataBase=X\n");
  const auto& g = app::Globals();
  EXPECT_EQ(g.Connection.DatabaseName, "") << "no VLK fallback without the key";
  EXPECT_EQ(g.LookupColumns[0], "智能ABC输入法");
  EXPECT_EQ(g.LookupCaptions[0], "智能ABC输入法");
}

TEST(LoadConnectionSettings, ValuesAreTrimmedDefaultedAndDecoded) {
  Load("[SOFTWARE\\Nordvane\\VELK300]\nDataBase=  \nServerName= db1,1433 \nUserName= sa \nPassword= " +
       app::EncodePassword("s3cret") + " \nIme=五笔\n");
  const auto& g = app::Globals();
  EXPECT_EQ(g.Connection.DatabaseName, "VLK");
  EXPECT_EQ(g.Connection.ServerName, "db1,1433");
  EXPECT_EQ(g.Connection.DbUserName, "sa");
  EXPECT_EQ(g.Connection.DbPassword, "s3cret");
  EXPECT_EQ(g.LookupColumns[0], "五笔");
}

TEST(LoadConnectionSettings, ValueMissingReadsEmpty) {
  Load("[SOFTWARE\\Nordvane\\VELK300]\nDataBase=HIS\n");
  EXPECT_EQ(app::Globals().Connection.DatabaseName, "HIS");
  EXPECT_EQ(app::Globals().Connection.DbPassword, "");
  EXPECT_EQ(app::Globals().LookupColumns[0], "智能ABC输入法");
}

TEST(LoadConnectionSettings, NonTextValueRaises) {
  app::SetRegistry(IniSettings::FromText("[SOFTWARE\\Nordvane\\VELK300]\nPassword=dword:00000010\n"));
  EXPECT_THROW(app::LoadConnectionSettings(), core::Error);
}

TEST(LoadHospitalIdentity, DecodesTheNameAndTrimsTheId) {
  app::SetRegistry(IniSettings::FromText("[SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\nHNAME=" +
                                         app::EncodePassword("福州市第一人民医院") +
                                         "\n[SOFTWARE\\Nordvane\\VELK300]\nHospitalID= 35 \n"));
  app::LoadHospitalIdentity();
  EXPECT_EQ(app::Globals().HospitalName, "福州市第一人民医院");
  EXPECT_EQ(app::Globals().HospitalID, "35");
}

}  // namespace
