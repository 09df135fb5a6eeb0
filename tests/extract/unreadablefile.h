#pragma once
// A file that cannot be opened for reading, also when the tests run as root: its permissions
// are 000, and the capabilities that let root ignore them are put aside while it matters.

#include <QFile>
#include <QProcess>
#include <QString>

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace unreadable {

inline bool MakeUnreadable(const QString& path) { return QFile::setPermissions(path, QFileDevice::Permissions()); }

inline constexpr int kOverrides[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH};

// While it lives, the calling thread honours file permissions (capabilities are per thread).
class TPermissionsHonoured {
public:
  TPermissionsHonoured() {
    FHeader.version = _LINUX_CAPABILITY_VERSION_3;
    FHeader.pid = 0;
    if (syscall(SYS_capget, &FHeader, FSaved) != 0) return;
    __user_cap_data_struct reduced[2] = {FSaved[0], FSaved[1]};
    for (int cap : kOverrides) reduced[cap / 32].effective &= ~(1u << (cap % 32));
    FChanged = syscall(SYS_capset, &FHeader, reduced) == 0;
  }
  ~TPermissionsHonoured() {
    if (FChanged) syscall(SYS_capset, &FHeader, FSaved);
  }
  TPermissionsHonoured(const TPermissionsHonoured&) = delete;
  TPermissionsHonoured& operator=(const TPermissionsHonoured&) = delete;

private:
  __user_cap_header_struct FHeader{};
  __user_cap_data_struct FSaved[2]{};
  bool FChanged = false;
};

// A child process started by this QProcess honours file permissions, also when run as root.
inline void HonourPermissionsIn(QProcess& process) {
  process.setChildProcessModifier([] {
    for (int cap : kOverrides) ::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
  });
}

}  // namespace unreadable
