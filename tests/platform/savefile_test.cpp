#include "platform/savefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

// A file is replaced only by a complete one; a device or a pipe is written as it is and stays
// what it is.
TEST(WriteFileSafely, FilesAreReplacedWholeAndDevicesStayDevices) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(WriteFileSafely(file, "first"));
    ASSERT_TRUE(WriteFileSafely(file, "second"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "second");
    EXPECT_FALSE(WriteFileSafely(dir.filePath(QStringLiteral("missing/a.txt")), "x"));
    EXPECT_FALSE(WriteFileSafely(dir.path(), "a folder is no file"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});

    // A pipe with a reader gets the bytes and remains a pipe.
    const QByteArray fifo = dir.filePath(QStringLiteral("pipe")).toLocal8Bit();
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(WriteFileSafely(QString::fromLocal8Bit(fifo), "through the pipe"));
    char buffer[64] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 16);
    EXPECT_STREQ(buffer, "through the pipe");
    ::close(reader);
    struct stat st {};
    ASSERT_EQ(::stat(fifo.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A full device reports the failure and stays a device.
    EXPECT_FALSE(WriteFileSafely(QStringLiteral("/dev/full"), "no room"));
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}
