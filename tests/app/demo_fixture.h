// A fresh demo database file per test, with the settings pointing at it.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "app/data_module.h"
#include "app/his_globals.h"
#include "app/password.h"
#include "platform/db/db_query.h"
#include "platform/settings/ini_settings.h"
#include "tools/demo_db/demo_database.h"

class DemoDatabaseTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    dbPath_ = dir_.filePath("VLK.db").toStdString();
    tools::BuildDemoDatabaseFromDir(dbPath_, std::string(SURVEY_SOURCE_DIR) + "/data");
    app::HisGlobals& g = app::Globals();
    g = app::HisGlobals();
    g.SystemNumber = "3";
    app::ApplyDateFormats();
    g.ExeDir = dir_.path().toStdString() + "/";
    g.Connection.DatabaseName = dbPath_;
    app::SetRegistry(platform::IniSettings::FromText(
        "[SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\nHNAME=" + app::EncodePassword("测试医院") +
        "\n[SOFTWARE\\Nordvane\\VELK300]\nHospitalID=350100001\n"));
    app::DataModule().DBHis.Close();
  }
  void TearDown() override { app::DataModule().DBHis.Close(); }

  // Runs a statement on the demo file through a second connection.
  void Exec(const std::string& sql) {
    platform::DbSession s("Fixture");
    s.SetParam("DATABASE NAME", dbPath_);
    s.Open();
    s.Run(sql);
  }

  QTemporaryDir dir_;
  std::string dbPath_;
};
