#include "platform/gui/qtprompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
QMessageBox::StandardButton ToQt(TPromptResult r) {
    switch (r) {
    case TPromptResult::Ok:
        return QMessageBox::Ok;
    case TPromptResult::Cancel:
        return QMessageBox::Cancel;
    case TPromptResult::Yes:
        return QMessageBox::Yes;
    case TPromptResult::No:
        return QMessageBox::No;
    case TPromptResult::Retry:
        return QMessageBox::Retry;
    case TPromptResult::Abort:
        return QMessageBox::Abort;
    case TPromptResult::Ignore:
        return QMessageBox::Ignore;
    case TPromptResult::None:
        break;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon ToQt(TPromptIcon icon) {
    switch (icon) {
    case TPromptIcon::None:
        return QMessageBox::NoIcon;
    case TPromptIcon::Information:
        return QMessageBox::Information;
    case TPromptIcon::Warning:
        return QMessageBox::Warning;
    case TPromptIcon::Error:
        return QMessageBox::Critical;
    case TPromptIcon::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The program's texts separate lines with a lone CR, which a label does not break at.
QString DisplayText(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}
} // namespace

TPromptResult TQtPrompt::Show(const TPromptRequest& request) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    if (!parent) { // e.g. just after another box closed: stay above the program's window
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() &&
                (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog)) {
                parent = w;
                break;
            }
        }
    }

    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("PromptBox"));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(request.Caption);
    box.setIcon(ToQt(request.Icon));
    box.setTextFormat(Qt::PlainText);
    box.setText(DisplayText(request.Text));

    const QList<TPromptResult> buttons = PromptButtonList(request.Buttons);
    for (TPromptResult r : buttons) {
        QPushButton* b = box.addButton(ToQt(r));
        const QString caption = PromptButtonCaption(r);
        if (!caption.isEmpty()) b->setText(caption);
    }
    box.setDefaultButton(ToQt(PromptDefaultButton(request)));
    // Escape and the close button give the answer that changes nothing.
    const TPromptResult cautious = PromptCautiousAnswer(request.Buttons);
    box.setEscapeButton(ToQt(cautious));

    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (TPromptResult r : buttons)
        if (ToQt(r) == clicked) return r;
    return cautious;
}
