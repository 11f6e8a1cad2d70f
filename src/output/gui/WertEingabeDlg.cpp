#include "output/gui/WertEingabeDlg.h"

#include "platform/gui/named.h"
#include "platform/messages.h"
#include "platform/prompt.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

TWertEingabeDlg::TWertEingabeDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WertEingabeDlg"));
    Edit1 = Named(new QLineEdit, "Edit1");
    Edit1->setMinimumWidth(220);
    B_OK = Named(new QPushButton(QStringLiteral("OK")), "B_OK");
    B_OK->setDefault(true);
    B_Abbrechen = Named(new QPushButton, "B_Abbrechen");
    connect(B_OK, &QPushButton::clicked, this, &TWertEingabeDlg::accept);
    connect(B_Abbrechen, &QPushButton::clicked, this, &TWertEingabeDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(B_OK);
    buttons->addWidget(B_Abbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Edit1);
    layout->addLayout(buttons);
    Translate();
}

void TWertEingabeDlg::Translate() {
    B_Abbrechen->setText(GetMessage(8100));
}

QString TWertEingabeDlg::NumberText(double value) {
    QString text = QString::number(value, 'f', 6);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    if (text == QStringLiteral("-0")) text = QStringLiteral("0");
    return text.replace(QLatin1Char('.'), LocalDecimalSeparator());
}

void TWertEingabeDlg::PrepareNumber(const QString& caption, double start, double lower,
                                    double upper) {
    NumberMode = true;
    Lower = lower;
    Upper = upper;
    Value = start;
    setWindowTitle(caption);
    Edit1->setText(NumberText(start));
}

void TWertEingabeDlg::PrepareText(const QString& caption, const QString& start) {
    NumberMode = false;
    Text = start;
    setWindowTitle(caption);
    Edit1->setText(start);
}

bool TWertEingabeDlg::InputNumber(const QString& caption, double start, double lower,
                                  double upper) {
    PrepareNumber(caption, start, lower, upper);
    return exec() == QDialog::Accepted;
}

bool TWertEingabeDlg::InputText(const QString& caption, const QString& start) {
    PrepareText(caption, start);
    return exec() == QDialog::Accepted;
}

void TWertEingabeDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Edit1->selectAll();
    Edit1->setFocus();
}

void TWertEingabeDlg::accept() {
    if (!NumberMode) {
        Text = Edit1->text();
        QDialog::accept();
        return;
    }
    QString text = Edit1->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    Edit1->setText(text);
    bool ok = false;
    const double v = text.toDouble(&ok);
    // Anything that is no number within the limits keeps the dialog open.
    if (!ok || !std::isfinite(v) || v < Lower || v > Upper) {
        Prompts().Information(GetMessage(8101) + QLatin1Char(' ') + NumberText(Lower) +
                              QStringLiteral(" ... ") + NumberText(Upper));
        Edit1->selectAll();
        Edit1->setFocus();
        return;
    }
    Value = v;
    QDialog::accept();
}
