// The user's settings lock held as another process would hold it (POSIX file locks).
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/Registry.h"

namespace gridloom::test {

// Takes the lock until the returned file is closed; -1 when it cannot be taken.
inline int HoldUserLock() {
    int lock = ::open((RegistryFilePath(HKEY_CURRENT_USER).string() + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    if (lock >= 0 && ::flock(lock, LOCK_EX) != 0) {
        ::close(lock);
        return -1;
    }
    return lock;
}

}  // namespace gridloom::test
