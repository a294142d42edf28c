#include "platform/MediumOps.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::detail {

namespace {

int result(int rc)
{
    return rc == 0 ? 0 : errno;
}

int sysRenameNoReplace(const char* from, const char* to)
{
    return result(::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
}
int sysLink(const char* from, const char* to)
{
    return result(::link(from, to));
}
int sysUnlink(const char* path)
{
    return result(::unlink(path));
}
int sysRename(const char* from, const char* to)
{
    return result(::rename(from, to));
}
int sysLookup(const char* path)
{
    struct stat st {};
    return result(::lstat(path, &st));
}

const MediumOps kSystem{&sysRenameNoReplace, &sysLink, &sysUnlink, &sysRename, &sysLookup};
std::atomic<const MediumOps*> current{&kSystem};

} // namespace

const MediumOps& systemOps()
{
    return kSystem;
}

const MediumOps& mediumOps()
{
    return *current.load();
}

ScopedMediumOps::ScopedMediumOps(const MediumOps& ops) : previous_(current.exchange(&ops)) {}

ScopedMediumOps::~ScopedMediumOps()
{
    current.store(previous_);
}

} // namespace vantrel::detail
