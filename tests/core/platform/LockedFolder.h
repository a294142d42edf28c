// Test helper: a folder whose entries (or a file whose bytes) cannot change
// while the object lives: read-only for a normal user, marked immutable for
// root (who ignores permissions). locked() is false where neither works.
#pragma once

#include <QFile>
#include <QString>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vantrel::test {

class LockedFolder {
  public:
    explicit LockedFolder(const QString& path) : path_(path) { locked_ = set(true); }
    ~LockedFolder()
    {
        if (locked_) set(false);
    }
    bool locked() const { return locked_; }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

  private:
    bool set(bool lock) const
    {
        const QFileDevice::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
        if (::geteuid() != 0)
            return QFile::setPermissions(path_, lock ? readOnly : readOnly | QFile::WriteOwner);
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = lock ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }

    QString path_;
    bool locked_ = false;
};

} // namespace vantrel::test
