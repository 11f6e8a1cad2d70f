#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/config.h"

// Every test process gets a data folder of its own, so parallel tests never share settings files.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dataDir(QDir::tempPath() + "/kavro-test-XXXXXX");
    qputenv("KAVRO_DATA_DIR", dataDir.path().toUtf8());
    SetViewerConfiguration(false);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
