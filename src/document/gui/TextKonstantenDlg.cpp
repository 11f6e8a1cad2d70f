#include "document/gui/TextKonstantenDlg.h"

#include "document/textconstants.h"
#include "platform/prompt.h"

TTextKonstantenDlg::TTextKonstantenDlg(QWidget* parent)
    : TGridListDlg(1, Texts{5350, 5351, 5352, 5353, 5354, {}}, parent) {
    setObjectName(QStringLiteral("TextKonstantenDlg"));
    FileName = TextConstantsFileName();
}

void TTextKonstantenDlg::Prepare() {
    NormalizeTextConstants(TextConstants());
    QList<QStringList> rows;
    for (const QString& s : TextConstants())
        rows << QStringList{s};
    SetRows(rows);
}

bool TTextKonstantenDlg::Run() {
    Prepare();
    return exec() == QDialog::Accepted;
}

QStringList TTextKonstantenDlg::Constants() const {
    QStringList list;
    for (const QStringList& row : Rows())
        list << row.value(0);
    NormalizeTextConstants(list);
    return list;
}

void TTextKonstantenDlg::Confirmed() {
    TextConstants() = Constants();
    QString error;
    if (!SaveTextConstants(FileName, TextConstants(), &error)) Prompts().Error(error);
}
