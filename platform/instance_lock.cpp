// QLockFile-based single-instance guard.
#include "platform/instance_lock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QString>

namespace platform {

InstanceLock::InstanceLock(const std::string& name) {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  QDir().mkpath(dir);
  path_ = (dir + "/" + QString::fromUtf8(name) + ".lock").toUtf8().toStdString();
  lock_ = std::make_unique<QLockFile>(QString::fromUtf8(path_));
  // Only a crashed copy leaves a lock behind; QLockFile checks whether its
  // process still lives, so a stale lock is removed at once whatever its age.
  lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::TryAcquire() {
  if (lock_->isLocked()) return true;
  return lock_->tryLock(0);
}

void InstanceLock::Release() {
  if (lock_ && lock_->isLocked()) lock_->unlock();
}

}  // namespace platform
