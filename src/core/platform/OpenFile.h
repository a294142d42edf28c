// A regular file opened by path for positioned reads and writes, closed when
// the object ends. All tag code reads and writes files through it, so that
// every failure keeps the system's error number and text for the messages
// and errors it raises, and a file opened once can serve every read.
#pragma once

#include <QByteArray>
#include <QString>

namespace vantrel {

class OpenFile {
  public:
    enum class Mode { Read, ReadWrite };

    OpenFile() = default;
    OpenFile(const QString& path, Mode mode) { open(path, mode); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile();

    // Opens an existing regular file (never creates one; a folder fails with
    // EISDIR, another special file with EINVAL; for writing, a file without
    // write permission bits fails with EACCES whoever asks). A pipe cannot
    // hang the open. False on failure, with error() and errorText() set.
    bool open(const QString& path, Mode mode);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Length in bytes, taken when the file was opened and kept up to date by
    // writeAt() and truncate().
    qint64 size() const { return size_; }

    // Exactly n bytes at offset, or false (a file that ends early fails with EIO).
    bool readAt(qint64 offset, char* data, qint64 n);
    // Up to n bytes at offset, fewer where the file ends; -1 on failure.
    qint64 readUpTo(qint64 offset, char* data, qint64 n);
    bool writeAt(qint64 offset, const char* data, qint64 n);
    bool truncate(qint64 length);
    // Flushes what was written to the disk.
    bool sync();

    // Keeps the first head bytes and the last tail bytes of the file in
    // memory (the first at once, the last when first asked for), so that the
    // many small reads of a tag reader cost no system call. A file not longer
    // than head + tail is read whole. Writes drop what is kept.
    bool keepEnds(qint64 head, qint64 tail);
    // The n bytes at offset when they are all kept, else nullptr. Valid until
    // the next write, truncate, keepEnds or close.
    const char* kept(qint64 offset, qint64 n);

    // The descriptor, for writers that share a failure seam (writeFully); -1 when closed.
    int handle() const { return fd_; }

    // errno of the last failure and its description.
    int error() const { return error_; }
    QString errorText() const;
    static QString errorText(int err);

  private:
    bool fail(int err);
    qint64 readDirect(qint64 offset, char* data, qint64 n);
    void dropKept();

    int fd_ = -1;
    qint64 size_ = 0;
    int error_ = 0;
    QByteArray head_, tail_;
    qint64 tailWanted_ = 0; // bytes of the end still to be kept on first use
};

} // namespace vantrel
