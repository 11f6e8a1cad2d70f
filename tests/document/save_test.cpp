// Saving never destroys the only good copy: the old file and the document's state survive every
// failure, and the user hears of it.
#include "fixture.h"

#include "platform/messages.h"

#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Saving : public DocumentFixture {
protected:
    // A document of some 40 KB (user variables fill it) with an unsaved edit.
    void MakeDocument(TDocument& doc, int* clears) {
        doc.New();
        for (int i = 0; i < 200; ++i)
            doc.UserVariables.append({QStringLiteral("v%1").arg(i), QString(90, QLatin1Char('x'))});
        doc.Modified = true;
        doc.Sheet(0).SetUndoHistory(std::make_unique<TFakeUndo>(1, clears));
    }
    void ExpectFailureReported(const QString& path) {
        ASSERT_EQ(prompts.History().size(), 1);
        const TPromptRequest& r = prompts.History()[0].Request;
        EXPECT_EQ(r.Text, GetMessage(5004) + "\r\r\"" + QFileInfo(path).absoluteFilePath() + "\"");
        EXPECT_EQ(r.Icon, TPromptIcon::Information);
    }
};

// Limits the size of files this process writes, as a full disk would.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = m_saved;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved;
    void (*m_handler)(int);
};

// Makes a folder read-only for this process: by its mode, and for root, whom modes do not stop,
// by the file system's immutable flag as well.
class TReadOnlyFolder {
public:
    explicit TReadOnlyFolder(const QString& path) : m_path(path.toLocal8Bit()) {
        m_ok = ::chmod(m_path.constData(), 0555) == 0 && (::geteuid() != 0 || setImmutable(true));
    }
    ~TReadOnlyFolder() {
        if (::geteuid() == 0) setImmutable(false);
        ::chmod(m_path.constData(), 0755);
    }
    bool Ok() const { return m_ok; }

private:
    bool setImmutable(bool on) const {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
    QByteArray m_path;
    bool m_ok = false;
};

} // namespace

TEST_F(Saving, AFailedWriteLeavesTheOldFileAndTheDocumentAsTheyWere) {
    TDocument doc;
    int clears = 0;
    MakeDocument(doc, &clears);
    const QString path = Write("plan.kav8", "the only good copy");
    bool ok;
    {
        TFileSizeLimit limit(4096);
        ok = SaveDocumentFile(doc, path, FileKind::Document);
    }
    EXPECT_FALSE(ok);
    ExpectFailureReported(path);
    EXPECT_EQ(Read(path), "the only good copy");
    EXPECT_EQ(Files(), QStringList{"plan.kav8"}); // no temporary file is left behind
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(clears, 0);
    EXPECT_TRUE(doc.Settings.DocumentFolder.isEmpty());

    // Through the Save command the file name stays and the recent files do not change.
    doc.FileName = path;
    prompts.Clear();
    {
        TFileSizeLimit limit(4096);
        EXPECT_FALSE(doc.Save());
    }
    EXPECT_EQ(doc.FileName, path);
    EXPECT_TRUE(doc.Settings.RecentFiles.isEmpty());
    EXPECT_EQ(Read(path), "the only good copy");

    // Once the disk has room again the same save works and only then clears the state.
    prompts.Clear();
    EXPECT_TRUE(doc.Save());
    EXPECT_TRUE(prompts.History().isEmpty());
    EXPECT_FALSE(doc.Modified);
    EXPECT_EQ(clears, 1);
    EXPECT_TRUE(Read(path).startsWith("\x07KAVRO80"));
}

TEST_F(Saving, PlacesThatCannotBeWritten) {
    Write("blocker", "a file where a folder should be");
    QDir(dir.path()).mkdir("folder.kav8");
    struct Case {
        const char* name;
        QString path;
    } cases[] = {
        {"folder is a regular file", Path("blocker/plan.kav8")},
        {"a device that is full", "/dev/full"},
        {"target is a folder", Path("folder.kav8")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        TDocument doc;
        int clears = 0;
        MakeDocument(doc, &clears);
        EXPECT_FALSE(SaveDocumentFile(doc, c.path, FileKind::Document));
        ExpectFailureReported(c.path);
        EXPECT_TRUE(doc.Modified);
        EXPECT_EQ(clears, 0);
    }
    EXPECT_EQ(Read(Path("blocker")), "a file where a folder should be");

    // "Save as" to such a place keeps the document's own name and the recent files.
    prompts.Clear();
    TDocument doc;
    int clears = 0;
    MakeDocument(doc, &clears);
    doc.FileName = "/old/name.kav8";
    EXPECT_FALSE(doc.SaveAs(Path("blocker/plan.kav8")));
    ExpectFailureReported(Path("blocker/plan.kav8"));
    EXPECT_EQ(doc.FileName, "/old/name.kav8");
    EXPECT_TRUE(doc.Settings.RecentFiles.isEmpty());
}

TEST_F(Saving, AReadOnlyFolderKeepsTheOldFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const QString path = Write("locked/plan.kav8", "the only good copy");
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "KeepFileInfo on" : "KeepFileInfo off");
        prompts.Clear();
        TDocument doc;
        int clears = 0;
        MakeDocument(doc, &clears);
        doc.Settings.KeepFileInfo = keep;
        doc.FileName = path;
        {
            TReadOnlyFolder locked(Path("locked"));
            if (!locked.Ok()) GTEST_SKIP() << "no way to make a folder read-only here";
            EXPECT_FALSE(doc.Save());
        }
        ExpectFailureReported(path);
        EXPECT_EQ(Read(path), "the only good copy");
        EXPECT_EQ(QDir(Path("locked")).entryList(QDir::Files), QStringList{"plan.kav8"});
        EXPECT_TRUE(doc.Modified);
        EXPECT_EQ(clears, 0);
        EXPECT_EQ(doc.FileName, path);
    }
}

TEST_F(Saving, KeepFileInfoKeepsThePermissionsOfTheOldFile) {
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep);
        const QString path = Write(keep ? "kept.kav8" : "new.kav8", "old");
        ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), 0640), 0);
        TDocument doc;
        doc.New();
        doc.Settings.KeepFileInfo = keep;
        ASSERT_TRUE(SaveDocumentFile(doc, path, FileKind::Document));
        struct stat st {};
        ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &st), 0);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        EXPECT_EQ(st.st_mode & 0777, keep ? 0640u : (0666u & ~mask));
    }
}
