// The few system calls whose answers differ from one medium to the next
// (renaming without replacing, hard links, name lookups), gathered in one
// table so that tests can play a medium that lacks a feature.
#pragma once

namespace vantrel::detail {

// Each call returns 0 on success or the errno value of its failure.
struct MediumOps {
    int (*renameNoReplace)(const char* from, const char* to); // renameat2 with RENAME_NOREPLACE
    int (*link)(const char* from, const char* to);
    int (*unlink)(const char* path);
    int (*rename)(const char* from, const char* to); // plain rename: replaces an existing target
    int (*lookup)(const char* path);                 // lstat: does any entry answer to this name
};

// The calls of the running system.
const MediumOps& systemOps();

// The table in use: the system's unless a test put another in place.
const MediumOps& mediumOps();

// Puts ops in place for as long as the object lives (tests only).
class ScopedMediumOps {
  public:
    explicit ScopedMediumOps(const MediumOps& ops);
    ~ScopedMediumOps();
    ScopedMediumOps(const ScopedMediumOps&) = delete;
    ScopedMediumOps& operator=(const ScopedMediumOps&) = delete;

  private:
    const MediumOps* previous_;
};

} // namespace vantrel::detail
