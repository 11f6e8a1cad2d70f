#include "document/gui/gridlistdlg.h"

#include "platform/gui/named.h"
#include "platform/messages.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TGridListDlg::TGridListDlg(int columns, const Texts& texts, QWidget* parent)
    : QDialog(parent), m_texts(texts) {
    SG1 = Named(new QTableWidget(1, columns, this), "SG1");
    SG1->verticalHeader()->hide();
    SG1->horizontalHeader()->setStretchLastSection(true);
    if (texts.Headers.isEmpty()) SG1->horizontalHeader()->hide();
    SG1->setSelectionMode(QAbstractItemView::SingleSelection);
    SG1->setEditTriggers(QAbstractItemView::AllEditTriggers);

    L_Hinweis = Named(new QLabel(this), "L_Hinweis");
    L_Hinweis->setWordWrap(true);
    B_NeueZeile = Named(new QPushButton(this), "B_NeueZeile");
    B_ZeileLoeschen = Named(new QPushButton(this), "B_ZeileLoeschen");
    B_OK = Named(new QPushButton(this), "B_OK");
    B_OK->setDefault(true);
    B_Abbrechen = Named(new QPushButton(this), "B_Abbrechen");

    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(B_NeueZeile);
    rowButtons->addWidget(B_ZeileLoeschen);
    rowButtons->addStretch();
    rowButtons->addWidget(B_OK);
    rowButtons->addWidget(B_Abbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(L_Hinweis);
    layout->addWidget(SG1);
    layout->addLayout(rowButtons);
    resize(460, 360);

    connect(B_NeueZeile, &QPushButton::clicked, this, &TGridListDlg::NeueZeileClick);
    connect(B_ZeileLoeschen, &QPushButton::clicked, this, &TGridListDlg::ZeileLoeschenClick);
    connect(B_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(B_Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    UpdateTexts();
}

void TGridListDlg::UpdateTexts() {
    setWindowTitle(GetMessage(m_texts.Caption));
    B_NeueZeile->setText(GetMessage(m_texts.NewRow));
    B_ZeileLoeschen->setText(GetMessage(m_texts.DeleteRow));
    B_OK->setText(QStringLiteral("OK"));
    B_Abbrechen->setText(GetMessage(m_texts.Cancel));
    L_Hinweis->setText(GetMessage(m_texts.Note));
    QStringList headers;
    for (int id : m_texts.Headers)
        headers << GetMessage(id);
    if (!headers.isEmpty()) SG1->setHorizontalHeaderLabels(headers);
}

void TGridListDlg::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LanguageChange) UpdateTexts();
    QDialog::changeEvent(e);
}

QList<QStringList> TGridListDlg::Rows() const {
    QList<QStringList> rows;
    for (int r = 0; r < SG1->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < SG1->columnCount(); ++c) {
            const QTableWidgetItem* item = SG1->item(r, c);
            row << (item ? item->text() : QString());
        }
        rows << row;
    }
    return rows;
}

void TGridListDlg::SetRows(const QList<QStringList>& rows) {
    SG1->clearContents();
    SG1->setRowCount(std::max<int>(int(rows.size()), 1));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < SG1->columnCount() && c < rows[r].size(); ++c)
            SG1->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    SG1->setCurrentCell(0, 0);
}

void TGridListDlg::NeueZeileClick() {
    const int row = SG1->rowCount();
    SG1->insertRow(row);
    SG1->setCurrentCell(row, 0);
    SG1->setFocus();
}

void TGridListDlg::ZeileLoeschenClick() {
    if (SG1->rowCount() <= 1) {
        // One data row always remains; deleting it empties it instead.
        for (int c = 0; c < SG1->columnCount(); ++c)
            SG1->setItem(0, c, new QTableWidgetItem(QString()));
        return;
    }
    const int row = std::max(SG1->currentRow(), 0);
    SG1->removeRow(row);
    SG1->setCurrentCell(std::min(row, SG1->rowCount() - 1), std::max(SG1->currentColumn(), 0));
}

void TGridListDlg::done(int result) {
    if (result == QDialog::Accepted) {
        // A cell still being edited counts.
        if (QWidget* editor = SG1->focusWidget(); editor && editor != SG1) SG1->setFocus();
        if (!CanClose()) return;
        Confirmed();
    }
    QDialog::done(result);
}
