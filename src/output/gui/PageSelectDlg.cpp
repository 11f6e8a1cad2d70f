#include "output/gui/PageSelectDlg.h"

#include "platform/gui/named.h"
#include "platform/messages.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

const QString TPageSelectDlg::ReservedMarker = QStringLiteral("- - - -");

TPageSelectDlg::TPageSelectDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PageSelectDlg"));
    Label1 = Named(new QLabel, "Label1");
    LB_Seiten = Named(new QListWidget, "LB_Seiten");
    LB_Seiten->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LB_Seiten->viewport()->installEventFilter(this);
    B_Alle = Named(new QPushButton, "B_Alle");
    B_Keine = Named(new QPushButton, "B_Keine");
    B_OK = Named(new QPushButton(QStringLiteral("OK")), "B_OK");
    B_OK->setDefault(true);
    B_Cancel = Named(new QPushButton, "B_Cancel");
    StatusBar1 = Named(new QLabel, "StatusBar1");
    StatusBar1->setFrameShape(QFrame::StyledPanel);

    connect(B_Alle, &QPushButton::clicked, this, [this] {
        LB_Seiten->selectAll();
        Tidy();
    });
    connect(B_Keine, &QPushButton::clicked, this, [this] {
        LB_Seiten->clearSelection();
        Tidy();
    });
    connect(LB_Seiten, &QListWidget::itemSelectionChanged, this, [this] { Tidy(); });
    connect(B_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(B_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(B_Alle);
    side->addWidget(B_Keine);
    side->addStretch(1);
    side->addWidget(B_OK);
    side->addWidget(B_Cancel);
    auto* middle = new QHBoxLayout;
    middle->addWidget(LB_Seiten, 1);
    middle->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(middle, 1);
    layout->addWidget(StatusBar1);
    resize(380, 420);
    Translate();
}

void TPageSelectDlg::Translate() {
    Label1->setText(GetMessage(5602));
    B_Alle->setText(GetMessage(5603));
    B_Keine->setText(GetMessage(5604));
    B_Cancel->setText(GetMessage(5601));
    Tidy();
}

void TPageSelectDlg::SetLines(const QStringList& lines, const std::vector<int>& preselected) {
    const QSignalBlocker block(LB_Seiten);
    LB_Seiten->clear();
    // Lines twice as high as the main window's font is large.
    const QFont font = QApplication::font();
    const int height = 2 * (font.pointSize() > 0 ? font.pointSize() : font.pixelSize());
    for (const QString& line : lines) {
        auto* item = new QListWidgetItem(line, LB_Seiten);
        item->setSizeHint(QSize(0, std::max(height, 16)));
    }
    for (int i : preselected)
        if (i >= 0 && i < LB_Seiten->count()) LB_Seiten->item(i)->setSelected(true);
    Tidy();
}

std::vector<int> TPageSelectDlg::SelectedLines() const {
    std::vector<int> out;
    for (int i = 0; i < LB_Seiten->count(); ++i)
        if (LB_Seiten->item(i)->isSelected()) out.push_back(i);
    return out;
}

void TPageSelectDlg::Tidy() {
    const QSignalBlocker block(LB_Seiten);
    int selected = 0;
    for (int i = 0; i < LB_Seiten->count(); ++i) {
        QListWidgetItem* item = LB_Seiten->item(i);
        if (item->text() == ReservedMarker) item->setSelected(false);
        if (item->isSelected()) ++selected;
    }
    StatusBar1->setText(QLatin1Char(' ') + GetMessage(5605) + QLatin1Char(' ') +
                        QString::number(selected) + QStringLiteral(" / ") +
                        QString::number(LB_Seiten->count()));
}

bool TPageSelectDlg::eventFilter(QObject* watched, QEvent* event) {
    const bool result = QDialog::eventFilter(watched, event);
    if (watched == LB_Seiten->viewport() &&
        (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonPress))
        Tidy();
    return result;
}
