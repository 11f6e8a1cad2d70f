#include "app_fixture.h"

#include "support/processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

void AppTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_data = m_dir.path() + "/data/";
    m_scratch = m_dir.path() + "/files/";
    QDir().mkpath(m_scratch);
    m_oldDataDir = qgetenv("KAVRO_DATA_DIR");
    qputenv("KAVRO_DATA_DIR", m_data.toUtf8());
    m_installed.emplace(Prompt);
    SetViewerConfiguration(false);
}

void AppTest::TearDown() {
    m_installed.reset();
    qputenv("KAVRO_DATA_DIR", m_oldDataDir);
    SetViewerConfiguration(false);
    SetInterfaceLanguage(0);
}

void WriteSettingsFile(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).path());
    QString crlf = text;
    crlf.replace("\n", "\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(crlf.utf16()), crlf.size() * 2);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool HavePython() {
    return HaveTool("python3");
}

TIniView ReadWithConfigParser(const QString& path) {
    static const char* script = R"(
import configparser, json, sys
c = configparser.ConfigParser(interpolation=None, strict=True)
c.optionxform = str
with open(sys.argv[1], encoding='utf-16') as f:
    c.read_file(f)
print(json.dumps({s: dict(c[s]) for s in c.sections()}))
)";
    const ProcessResult r = RunProgram("python3", {"-c", script, path});
    EXPECT_EQ(r.code, 0) << r.Err().toStdString();
    TIniView view;
    const QJsonObject sections = QJsonDocument::fromJson(r.out).object();
    for (auto s = sections.begin(); s != sections.end(); ++s) {
        const QJsonObject keys = s.value().toObject();
        for (auto k = keys.begin(); k != keys.end(); ++k)
            view[s.key()][k.key()] = k.value().toString();
    }
    return view;
}
