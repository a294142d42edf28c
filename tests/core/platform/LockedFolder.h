// Test helper: a folder whose entries cannot change while the object lives.
#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vantrel::test {

// A folder whose entries (or a file whose bytes) cannot change: read-only for
// a normal user, marked immutable for root (who ignores permissions).
class LockedFolder {
public:
    explicit LockedFolder(const QString& path) : path_(path)
    {
        if (::geteuid() != 0) {
            locked_ = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
            return;
        }
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        if (fd < 0)
            return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            locked_ = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
    }
    ~LockedFolder()
    {
        if (!locked_)
            return;
        if (::geteuid() != 0) {
            QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            return;
        }
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            ::close(fd);
    }
    bool locked() const { return locked_; }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

private:
    QString path_;
    bool locked_ = false;
};

} // namespace vantrel::test
