#include "app/gui/mainwindow.h"

#include "platform/config.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(IsViewer() ? QStringLiteral("Kavro Viewer") : QStringLiteral("Kavro"));
    resize(1000, 700);
}

TForm1::~TForm1() = default;
