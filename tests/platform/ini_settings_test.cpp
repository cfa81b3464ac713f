// The registry stand-in: sections, missing keys and values, non-text values.
#include "platform/settings/ini_settings.h"

#include <gtest/gtest.h>

#include "core/error.h"

using platform::IniSettings;

TEST(IniSettings, SectionsAndValues) {
  IniSettings s = IniSettings::FromText(
      "\xEF\xBB\xBF; comment\n"
      "[SOFTWARE\\Nordvane\\VELK300]\r\n"
      "DataBase = VLK \r\n"
      "ServerName=\n"
      "Ime=\"智能ABC输入法\"\n"
      "Password=dword:00000001\n"
      "[\\software\\microsoft\\windows\\currentversion\\]\n"
      "HNAME=abc\n");
  EXPECT_TRUE(s.HasSection("\\SOFTWARE\\Nordvane\\VELK300"));
  EXPECT_EQ(s.ReadString("SOFTWARE\\Nordvane\\VELK300", "database").value(), "VLK");
  EXPECT_EQ(s.ReadString("SOFTWARE\\Nordvane\\VELK300", "ServerName").value(), "");
  EXPECT_EQ(s.ReadString("SOFTWARE\\Nordvane\\VELK300", "Ime").value(), "智能ABC输入法");
  EXPECT_FALSE(s.ReadString("SOFTWARE\\Nordvane\\VELK300", "UserName").has_value()) << "missing value";
  EXPECT_FALSE(s.ReadString("SOFTWARE\\Other", "DataBase").has_value()) << "missing section";
  EXPECT_EQ(s.ReadString("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "HNAME").value(), "abc");
  try {
    (void)s.ReadString("SOFTWARE\\Nordvane\\VELK300", "Password");
    FAIL() << "a non-text value must not read as text";
  } catch (const core::Error& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Password'");
  }
}

TEST(IniSettings, MissingFileIsEmpty) {
  IniSettings s = IniSettings::Load("/nonexistent/his_settings.ini");
  EXPECT_FALSE(s.HasSection("SOFTWARE\\Nordvane\\VELK300"));
}
