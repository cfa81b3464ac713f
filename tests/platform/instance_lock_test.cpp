// Single-instance guard: a second holder is refused, a stale lock is taken over.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSysInfo>
#include <fstream>

TEST(InstanceLock, SecondCopyIsRefusedUntilReleased) {
  platform::InstanceLock first("survey-lock-test");
  ASSERT_TRUE(first.TryAcquire());
  platform::InstanceLock second("survey-lock-test");
  EXPECT_FALSE(second.TryAcquire());
  first.Release();
  EXPECT_TRUE(second.TryAcquire());
}

TEST(InstanceLock, StaleLockOfADeadProcessIsIgnored) {
  platform::InstanceLock probe("survey-stale-test");
  std::string path = probe.Path();
  {
    // The lock file format: pid, application name, host name.
    std::ofstream out(path, std::ios::trunc);
    out << "999999\nsurvey\n" << QSysInfo::machineHostName().toStdString() << "\n";
  }
  platform::InstanceLock lock("survey-stale-test");
  EXPECT_TRUE(lock.TryAcquire());
}
