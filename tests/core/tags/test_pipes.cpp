// A pipe that carries an audio file's name (made after the folder was listed,
// or named on the command line) must be refused at once by every routine that
// opens a file for its tags, never wait for a writer or a reader.
#include "platform/AtomicReplace.h"
#include "tags/Id3v2Writer.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"
#include "tags/modTag.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vantrel;

namespace {

template <typename Object> bool opens(const QString& path)
{
    try {
        Object tag;
        tag.setMP3File(path);
        return true;
    } catch (const TagFileError&) {
        return false;
    }
}

} // namespace

TEST(Pipes, AreRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    const QString pipe = dir.path() + QStringLiteral("/song.mp3");
    const QByteArray native = QFile::encodeName(pipe);
    ASSERT_EQ(::mkfifo(native.constData(), 0666), 0);
    QString error;

    const struct {
        const char* what;
        std::function<bool()> succeeds;
    } table[] = {
        {"ID3v1 object", [&] { return opens<cMP3ID3v1>(pipe); }},
        {"ID3v2 object", [&] { return opens<cMP3ID3v2>(pipe); }},
        {"record routines", [&] { return modTag::FileReadable(pipe); }},
        {"write check", [&] { return fileIsWritable(pipe); }},
        {"tag writer", [&] { return id3v2::writeTag(pipe, QByteArray(), error); }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        std::packaged_task<bool()> task(row.succeeds);
        std::future<bool> result = task.get_future();
        std::thread worker(std::move(task));
        if (result.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "blocked on the pipe";
            // Release the waiting open (a pipe opened both ways is a reader and a
            // writer), then give it end-of-file.
            const int fd = ::open(native.constData(), O_RDWR | O_NONBLOCK);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            if (fd >= 0) ::close(fd);
        }
        worker.join();
        EXPECT_FALSE(result.get());
    }
}
