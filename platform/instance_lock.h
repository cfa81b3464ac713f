// Single-instance guard: a lock file in the user's runtime folder named after
// the guard's text. A lock left by a crashed copy is taken over.
#pragma once

#include <memory>
#include <string>

class QLockFile;

namespace platform {

class InstanceLock {
 public:
  explicit InstanceLock(const std::string& name);
  ~InstanceLock();
  // True when this process now holds the lock; false when another running copy does.
  bool TryAcquire();
  void Release();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace platform
