#include "app/gui/mainwindow.h"
#include "platform/config.h"

#include <QApplication>

int main(int argc, char** argv) {
    SetViewerConfiguration(KAVRO_VIEWER != 0);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavro"));
    QApplication::setApplicationVersion(QString::fromLatin1(KavroVersion()));
    TForm1 form;
    form.show();
    return app.exec();
}
