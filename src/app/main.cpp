#include "app/gui/mainwindow.h"
#include "platform/config.h"
#include "platform/gui/qtprompt.h"
#include "platform/prompt.h"

#include <QApplication>

int main(int argc, char** argv) {
    SetViewerConfiguration(KAVRO_VIEWER != 0);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavro"));
    QApplication::setApplicationVersion(QString::fromLatin1(KavroVersion()));
    TQtPrompt prompts;
    TScopedPrompts installed(prompts);
    // Qt has taken its own options out; the rest is switches and the file name.
    TForm1 form(QApplication::arguments().mid(1));
    form.show();
    return app.exec();
}
