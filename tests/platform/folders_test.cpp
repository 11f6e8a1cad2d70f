#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};
} // namespace

TEST(Folders, IncludeTrailingSlash) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""}, {"/", "/"}, {"/home/u", "/home/u/"}, {"/home/u/", "/home/u/"}, {"rel", "rel/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IncludeTrailingSlash(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(Folders, DataFolderComesFromTheEnvironmentOrTheUsersDataLocation) {
    QTemporaryDir tmp;
    {
        ScopedEnv data("KAVRO_DATA_DIR", tmp.path() + QStringLiteral("/a/../data"));
        EXPECT_EQ(DataFolder(), tmp.path() + QStringLiteral("/data/"));
    }
    {
        QTemporaryDir cwdDir;
        const QString oldCwd = QDir::currentPath();
        QDir::setCurrent(cwdDir.path());
        ScopedEnv data("KAVRO_DATA_DIR", QStringLiteral("relative/dir"));
        EXPECT_EQ(DataFolder(), QDir::currentPath() + QStringLiteral("/relative/dir/"));
        QDir::setCurrent(oldCwd);
    }
    {
        ScopedEnv data("KAVRO_DATA_DIR", QString()); // unset: the user's data location
        ScopedEnv xdg("XDG_DATA_HOME", tmp.path() + QStringLiteral("/share"));
        EXPECT_EQ(DataFolder(), tmp.path() + QStringLiteral("/share/Kavro80/"));
    }
    {
        ScopedEnv data("KAVRO_DATA_DIR", QString::fromLatin1("")); // empty counts as unset
        ScopedEnv xdg("XDG_DATA_HOME", tmp.path() + QStringLiteral("/share/"));
        EXPECT_EQ(DataFolder(), tmp.path() + QStringLiteral("/share/Kavro80/"));
    }
}

TEST(Folders, DocumentsAndProgramFolders) {
    QTemporaryDir home;
    ScopedEnv h("HOME", home.path());
    ScopedEnv config("XDG_CONFIG_HOME", home.path() + QStringLiteral("/.config"));
    EXPECT_EQ(DocumentsFolder(), home.path() + QStringLiteral("/Documents/"));

    const QString program = ProgramFolder();
    EXPECT_TRUE(program.endsWith(u'/'));
    EXPECT_TRUE(QFileInfo::exists(program + QStringLiteral("test_platform")))
        << program.toStdString();
}

TEST(Folders, EnsureDataFolderCreatesItOrReportsFailure) {
    QTemporaryDir tmp;
    {
        const QString nested = tmp.path() + QStringLiteral("/one/two/Kavro80");
        ScopedEnv data("KAVRO_DATA_DIR", nested);
        EXPECT_TRUE(EnsureDataFolder());
        EXPECT_TRUE(QFileInfo(nested).isDir());
        EXPECT_TRUE(EnsureDataFolder()); // already there
    }
    QFile plain(tmp.path() + QStringLiteral("/plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const char* sub : {"/plain", "/plain/below"}) {
        ScopedEnv data("KAVRO_DATA_DIR", tmp.path() + QString::fromLatin1(sub));
        EXPECT_FALSE(EnsureDataFolder()) << sub;
    }
    EXPECT_TRUE(QFileInfo(plain.fileName()).isFile());
}
