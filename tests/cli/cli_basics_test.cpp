#include "support/processes.h"

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
