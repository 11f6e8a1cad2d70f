#include "document/gui/AnwenderVariablenDlg.h"

#include "document/document.h"
#include "document/placeholders.h"
#include "platform/messages.h"
#include "platform/prompt.h"

#include <QCollator>
#include <QTableWidget>
#include <algorithm>

void SortUserVariables(TUserVariables& list) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(list.begin(), list.end(), [&](const TUserVariable& a, const TUserVariable& b) {
        return collator.compare(a.Name, b.Name) < 0;
    });
}

TAnwenderVariablenDlg::TAnwenderVariablenDlg(TDocument& doc, QWidget* parent)
    : TGridListDlg(2, Texts{5360, 5361, 5362, 5363, 5364, {5365, 5366}}, parent), m_doc(doc) {
    setObjectName(QStringLiteral("AnwenderVariablenDlg"));
    connect(SG1, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int oldRow, int oldCol) {
                if (isVisible() && (row != oldRow || col != oldCol)) CheckNames();
            });
}

void TAnwenderVariablenDlg::Prepare() {
    TUserVariables& vars = m_doc.UserVariables;
    vars.erase(std::remove_if(vars.begin(), vars.end(),
                              [](const TUserVariable& v) { return v.Name.trimmed().isEmpty(); }),
               vars.end());
    SortUserVariables(vars);
    m_copy = vars;
    QList<QStringList> rows;
    for (const TUserVariable& v : vars)
        rows << QStringList{v.Name, v.Value};
    const QSignalBlocker block(SG1);
    SetRows(rows);
}

bool TAnwenderVariablenDlg::Run() {
    Prepare();
    return exec() == QDialog::Accepted;
}

TUserVariables TAnwenderVariablenDlg::Variables() const {
    TUserVariables list;
    for (const QStringList& row : Rows()) {
        const QString name = row.value(0).trimmed();
        if (!name.isEmpty()) list.append({name, row.value(1)});
    }
    return list;
}

bool TAnwenderVariablenDlg::CheckNames() {
    if (m_checking) return true; // a message box moves the focus, which comes back here
    m_checking = true;
    const QSignalBlocker block(SG1);
    for (int r = 0; r < SG1->rowCount(); ++r)
        if (QTableWidgetItem* item = SG1->item(r, 0);
            item && item->text() != item->text().trimmed())
            item->setText(item->text().trimmed());
    bool ok = true;
    const QList<QStringList> rows = Rows();
    for (int a = 0; a < rows.size(); ++a) {
        const QString name = rows[a].value(0);
        if (name.isEmpty()) continue;
        for (int b = a + 1; b < rows.size(); ++b) {
            if (name.compare(rows[b].value(0), Qt::CaseInsensitive) != 0) continue;
            ok = false;
            Prompts().Information(
                QStringLiteral("\"%1\"\r\r%2\r%3\r%4")
                    .arg(name, GetMessage(5453), GetMessage(5454), GetMessage(5455)));
        }
    }
    m_checking = false;
    return ok;
}

bool TAnwenderVariablenDlg::CanClose() {
    return CheckNames();
}

void TAnwenderVariablenDlg::Confirmed() {
    TUserVariables vars = Variables();
    SortUserVariables(vars);
    m_doc.UserVariables = vars;
    m_doc.Modified = true;
    RefreshPageDependentLabels(m_doc, true, true);
    if (m_doc.Host) m_doc.Host->PageLabelsChanged();
    Q_EMIT VariablesChanged();
}

void TAnwenderVariablenDlg::done(int result) {
    if (result != QDialog::Accepted) m_doc.UserVariables = m_copy;
    TGridListDlg::done(result);
}
