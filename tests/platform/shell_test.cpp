#include "platform/shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

// Stands in for the desktop: QDesktopServices hands URLs of a registered scheme to it.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public Q_SLOTS:
    void Open(const QUrl& url) { Urls.append(url); }
};

TEST(Shell, OpensFilesFoldersAndLinks) {
    UrlCatcher catcher;
    const QStringList schemes = {QStringLiteral("file"), QStringLiteral("https"),
                                 QStringLiteral("mailto")};
    for (const QString& s : schemes)
        QDesktopServices::setUrlHandler(s, &catcher, "Open");

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Schaltplan Nr 1.kav8"));
    struct Case {
        QString target;
        QUrl expected;
    } cases[] = {
        {file, QUrl::fromLocalFile(file)},
        {dir.path() + u'/', QUrl::fromLocalFile(dir.path() + u'/')},
        {QStringLiteral("relative.txt"),
         QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("relative.txt")))},
        {QStringLiteral("C:/Programme/x.txt"), QUrl::fromLocalFile(QDir::current().absoluteFilePath(
                                                   QStringLiteral("C:/Programme/x.txt")))},
        {QStringLiteral("https://example.com/a%20b?q=1"),
         QUrl(QStringLiteral("https://example.com/a%20b?q=1"))},
        {QStringLiteral("mailto:info@example.com"),
         QUrl(QStringLiteral("mailto:info@example.com"))},
    };
    for (const Case& c : cases) {
        catcher.Urls.clear();
        EXPECT_TRUE(ShellOpen(c.target)) << c.target.toStdString();
        ASSERT_EQ(catcher.Urls.size(), 1) << c.target.toStdString();
        EXPECT_EQ(catcher.Urls.first(), c.expected) << c.target.toStdString();
    }
    catcher.Urls.clear();
    EXPECT_FALSE(ShellOpen(QString()));
    EXPECT_TRUE(catcher.Urls.isEmpty());
    for (const QString& s : schemes)
        QDesktopServices::unsetUrlHandler(s);
}

TEST(Shell, StartProgramRunsDetached) {
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("started"));
    ASSERT_TRUE(StartProgram(QStringLiteral("/bin/sh"),
                             {QStringLiteral("-c"), QStringLiteral("echo \"$0\" > \"$1\""),
                              QStringLiteral("argument with spaces"), marker}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo(marker).size() > 0; }, 10000));
    QFile f(marker);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("argument with spaces\n"));

    EXPECT_FALSE(StartProgram(QString(), {}));
    EXPECT_FALSE(StartProgram(dir.filePath(QStringLiteral("no-such-program")), {}));
}

#include "shell_test.moc"
