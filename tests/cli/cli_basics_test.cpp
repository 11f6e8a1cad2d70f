#include "support/processes.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Cli, HelpVersionAndBadCommand) {
    const ProcessResult help = RunCli({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.Out().contains(QLatin1String("Usage: kavro-cli")));

    const ProcessResult version = RunCli({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.Out().startsWith(QLatin1String("kavro-cli 8.")));

    const ProcessResult bad = RunCli({QStringLiteral("frobnicate")});
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.err.count('\n'), 1) << bad.err.toStdString();
    EXPECT_TRUE(bad.Err().contains(QLatin1String("frobnicate")));

    EXPECT_EQ(RunCli({}).code, 2);
}

// Every command ends by itself while its standard input stays open, says nothing on stderr when
// it succeeds or only reports what it found, and one line when it fails.
TEST(Cli, NoCommandWaitsForInputAndEveryErrorIsOneLine) {
    QTemporaryDir dir;
    const QString demo = dir.filePath(QStringLiteral("demo.kav8"));
    const QString damaged = dir.filePath(QStringLiteral("damaged.kav8"));
    auto run = [](const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(KAVRO_CLI_PATH), args);
        ProcessResult r;
        if (!p.waitForStarted(30000)) return r;
        if (!p.waitForFinished(120000)) { // the write channel is never closed
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return r;
    };
    ASSERT_EQ(run({QStringLiteral("demo"), demo}).code, 0);
    {
        QFile in(demo), out(damaged);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        out.write(in.readAll().left(3000));
    }
    struct Case {
        QStringList args;
        int code;
    } cases[] = {
        {{"info", demo}, 0},
        {{"dump", demo}, 0},
        {{"check", demo}, 0},
        {{"convert", demo, dir.filePath("copy.blt")}, 0},
        {{"export", demo, "-o", dir.filePath("demo.png"), "--dpi", "20"}, 0},
        {{"check", damaged, "--repair", dir.filePath("fixed.kav8")}, 1},
        {{"dump", damaged}, 6},
        {{"info", dir.filePath("missing.kav8")}, 3},
        {{"convert", demo, dir.filePath("no/folder/x.kav8")}, 7},
        {{"check", "--repair"}, 2},
        {{"export", demo}, 2},
        {{"demo"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const ProcessResult r = run(c.args);
        EXPECT_EQ(r.code, c.code) << r.Err().toStdString();
        if (c.code <= 1) {
            EXPECT_TRUE(r.err.isEmpty()) << r.Err().toStdString();
        } else {
            EXPECT_EQ(r.err.count('\n'), 1) << r.Err().toStdString();
            EXPECT_TRUE(r.err.startsWith("kavro-cli: ")) << r.Err().toStdString();
        }
    }
}
