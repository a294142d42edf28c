// A file opened by path for positioned reads and writes, closed when the
// object ends. The ID3v1 code uses it so that every failure keeps the
// system's error number and text for the messages and errors it raises.
#pragma once

#include <QString>

namespace vantrel {

class RawFile {
  public:
    enum class Mode { Read, ReadWrite };

    RawFile() = default;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;
    ~RawFile();

    // Opens an existing regular file (never creates one; a folder fails with
    // EISDIR; for writing, a file without write permission bits fails with
    // EACCES whoever asks). False on failure, with error() and errorText() set.
    bool open(const QString& path, Mode mode);
    void close();

    // Length in bytes, taken when the file was opened and kept up to date by
    // writeAt() and truncate().
    qint64 size() const { return size_; }

    // Exactly n bytes at offset, or false.
    bool readAt(qint64 offset, char* data, qint64 n);
    bool writeAt(qint64 offset, const char* data, qint64 n);
    bool truncate(qint64 length);

    // errno of the last failure and its description.
    int error() const { return error_; }
    QString errorText() const;

  private:
    bool fail(int err);

    int fd_ = -1;
    qint64 size_ = 0;
    int error_ = 0;
};

} // namespace vantrel
