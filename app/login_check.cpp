// Login checks without a window.
#include "app/login_check.h"

#include "app/data_module.h"
#include "app/his_globals.h"
#include "app/password.h"
#include "core/text_util.h"
#include "platform/db/db_query.h"

namespace app {

bool HasSystemPermission(const std::string& badgeNo) {
  if (badgeNo == kMasterUser) return true;
  const std::string systemCode = Globals().SystemNumber == "3" ? "0" : "1";
  platform::DbQuery& q = DataModule().qryCmd;
  q.Close();
  q.ClearSql();
  q.ClearParams();
  q.AddSql(" Select XTDM00 from XT_ZBQX00 where XTDM00=");
  q.AddSql("'" + systemCode + "' and ZBDM00 in (");
  q.AddSql(" Select ZBDM00 from VW_XT_YHZB00 where YGBH00=(select YGBH00 ");
  q.AddSql(" from XT_YGBM00 where Upper(XKH000)=:XKH000))");
  q.SetParam("XKH000", badgeNo);
  q.Open();
  return q.RecordCount() > 0;
}

bool FindEmployee(const std::string& badgeNo) {
  platform::DbQuery& q = DataModule().qryGeneral;
  q.Close();
  q.ClearSql();
  q.ClearParams();
  q.AddSql(" Select * from XT_YGBM00 where UPPER(XKH000)=:XKH000");
  q.SetParam("XKH000", badgeNo);
  q.Open();
  return q.RecordCount() > 0;
}

void LoadSessionInfo() {
  HisGlobals& g = Globals();
  LoadHospitalIdentity();
  g.GroupCode = "00";
  const platform::DbQuery& emp = DataModule().qryGeneral;
  g.OperatorName = emp.FieldByName("ZWXM00").AsString();
  g.EmployeeNo = emp.FieldByName("YGBH00").AsInteger();
  g.BadgeNo = emp.FieldByName("XKH000").AsString();
  platform::DbQuery& q = DataModule().qryCmd;
  OpenQuery(q, {" Select distinct ZBJB00 from XT_XTZB00 where ZBDM00 ='" + g.GroupCode + "'"});
  g.GroupLevel = q.RecordCount() > 0 ? q.FieldByName("ZBJB00").AsString() : std::string();
}

std::string CheckLogin(const std::string& user, const std::string& password) {
  HisGlobals& g = Globals();
  g.LoginOK = false;
  const std::string badge = core::UpperCase(core::Trim(user));
  if (badge.empty()) return "请输入用户名（胸卡号）！";
  if (!HasSystemPermission(badge)) return "该员工无权操作该系统！";
  g.UserPassword = core::Trim(password);
  g.UserBadgeNo = badge;
  if (!FindEmployee(badge)) return "无此用户";
  const std::string stored = core::Trim(DataModule().qryGeneral.FieldByName("DLMM00").AsString());
  if (stored.empty()) return "密码有误！";
  if (DecodePassword(stored) != g.UserPassword) return "密码错误!";
  g.LoginOK = true;
  LoadSessionInfo();
  return std::string();
}

}  // namespace app
