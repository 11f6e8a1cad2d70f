#include "cli/cli.h"
#include "platform/config.h"

#include <QGuiApplication>
#include <cstdio>
#include <map>
#include <string>

namespace {
struct Entry {
    const char* usage;
    const char* summary;
    CliHandler handler;
};
std::map<std::string, Entry>& registry() {
    static std::map<std::string, Entry> r;
    return r;
}

void printHelp() {
    QString text = QStringLiteral("Usage: kavro-cli COMMAND [ARGUMENTS]\n"
                                  "       kavro-cli --help | --version\n\n"
                                  "Batch tool for Kavro documents (.kav8, .kav, .blt, .sbk, .lib).\n"
                                  "Commands:\n");
    for (const auto& [name, e] : registry())
        text += QStringLiteral("  %1\n      %2\n").arg(QLatin1String(e.usage), QLatin1String(e.summary));
    text += QStringLiteral("\nExit codes: 0 success, 1 problem found, 2 usage error, 3 cannot read,\n"
                           "4 not a Kavro file, 5 newer version, 6 damaged, 7 cannot write.\n");
    CliOut(text);
}
} // namespace

CliCommand::CliCommand(const char* name, const char* usage, const char* summary, CliHandler handler) {
    registry()[name] = Entry{usage, summary, handler};
}

void CliError(const QString& message) {
    std::fprintf(stderr, "kavro-cli: %s\n", message.simplified().toUtf8().constData());
}

void CliOut(const QString& text) {
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
}

namespace {
// Qt's own warnings (platform plugin, runtime folder) would break the one-line error rule.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("KAVRO_CLI_DEBUG"))
        std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}
} // namespace

int main(int argc, char** argv) {
    SetViewerConfiguration(false);
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        CliError(QStringLiteral("no command given; try kavro-cli --help"));
        return ExitUsage;
    }
    const QString cmd = args.takeFirst();
    if (cmd == QLatin1String("--help") || cmd == QLatin1String("-h") || cmd == QLatin1String("help")) {
        printHelp();
        return ExitOk;
    }
    if (cmd == QLatin1String("--version")) {
        CliOut(QStringLiteral("kavro-cli %1\n").arg(QLatin1String(KavroVersion())));
        return ExitOk;
    }
    const auto it = registry().find(cmd.toStdString());
    if (it == registry().end()) {
        CliError(QStringLiteral("unknown command '%1'; try kavro-cli --help").arg(cmd));
        return ExitUsage;
    }
    return it->second.handler(args);
}
