#pragma once

#include "platform/config.h"
#include "platform/messages.h"
#include "platform/prompt.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using TIniView = QMap<QString, QMap<QString, QString>>;

// Each test gets a data folder of its own (KAVRO_DATA_DIR) and the scripted prompt service.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString Data() const { return m_data; } // ends with "/"
    QString MainIni() const { return m_data + "KAVRO80.INI"; }
    QString ViewerIni() const { return m_data + "KAVRO80_VIEWER.INI"; }
    // A folder of its own for documents and other files of the test; ends with "/".
    QString Scratch() const { return m_scratch; }

    TScriptedPrompt Prompt;

private:
    QTemporaryDir m_dir;
    QString m_data;
    QString m_scratch;
    QByteArray m_oldDataDir;
    std::optional<TScopedPrompts> m_installed;
};

// A settings file as this program writes them: UTF-16LE with byte-order mark, CR LF. Lines of
// `text` are separated by "\n".
void WriteSettingsFile(const QString& path, const QString& text);
QByteArray ReadBytes(const QString& path);
// What Python's configparser (UTF-16, keys case-preserved) reads from a file; fails the test
// when python3 is missing or cannot parse the file.
TIniView ReadWithConfigParser(const QString& path);
bool HavePython();
