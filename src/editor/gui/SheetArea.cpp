#include "editor/gui/SheetArea.h"

#include "editor/editor.h"
#include "editor/gui/Ruler.h"
#include "editor/gui/SheetView.h"
#include "platform/gui/named.h"
#include "platform/messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kBlinkInterval = 1000; // ms
constexpr int kOriginTags[] = {1, 2, 3, 4};
} // namespace

TSheetArea::TSheetArea(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("P_SheetArea"));

    Panel_Formblatt = Named(new QWidget, "Panel_Formblatt");
    Panel_Formblatt->setAutoFillBackground(true);
    QPalette bar = Panel_Formblatt->palette();
    bar.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    Panel_Formblatt->setPalette(bar);
    L_Formblatt = Named(new QLabel, "L_Formblatt");
    QFont bold = L_Formblatt->font();
    bold.setBold(true);
    L_Formblatt->setFont(bold);
    B_FormblattBeenden = Named(new QPushButton, "B_FormblattBeenden");
    auto* barLayout = new QHBoxLayout(Panel_Formblatt);
    barLayout->setContentsMargins(8, 2, 8, 2);
    barLayout->addWidget(L_Formblatt, 1, Qt::AlignCenter);
    barLayout->addWidget(B_FormblattBeenden);
    Panel_Formblatt->setVisible(false);
    connect(B_FormblattBeenden, &QPushButton::clicked, this, &TSheetArea::FormSheetBarClosed);
    m_blink = new QTimer(this);
    m_blink->setInterval(kBlinkInterval);
    connect(m_blink, &QTimer::timeout, this, &TSheetArea::BlinkFormSheetBar);

    SB_Nullpunkt = Named(new QToolButton, "SB_Nullpunkt");
    SB_Nullpunkt->setFixedSize(TRuler::kThickness, TRuler::kThickness);
    SB_Nullpunkt->setAutoRaise(true);
    SB_Nullpunkt->setText(QStringLiteral("+"));
    SB_Nullpunkt->installEventFilter(this);
    PB_Horz = new TRuler(Qt::Horizontal);
    PB_Vert = new TRuler(Qt::Vertical);
    ScrollBox_Editor = new TSheetView;

    Popup_KoordinatenUrsprung = Named(new QMenu(this), "Popup_KoordinatenUrsprung");
    for (int tag : kOriginTags) {
        QAction* a = Popup_KoordinatenUrsprung->addAction(QString());
        a->setData(tag);
        connect(a, &QAction::triggered, this, [this, tag] { OriginCornerChosen(tag); });
    }

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(SB_Nullpunkt, 0, 0);
    grid->addWidget(PB_Horz, 0, 1);
    grid->addWidget(PB_Vert, 1, 0);
    grid->addWidget(ScrollBox_Editor, 1, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel_Formblatt);
    layout->addLayout(grid, 1);
    Translate();
}

void TSheetArea::Translate() {
    L_Formblatt->setText(GetMessage(5046));
    B_FormblattBeenden->setText(GetMessage(5055));
    const QList<QAction*> items = Popup_KoordinatenUrsprung->actions();
    for (int i = 0; i < items.size(); ++i)
        items[i]->setText(GetMessage(2700 + i));
}

void TSheetArea::SetSheet(TEditor* sheet) {
    m_sheet = sheet;
    ScrollBox_Editor->SetSheet(sheet);
    PB_Horz->SetSheet(sheet);
    PB_Vert->SetSheet(sheet);
}

void TSheetArea::RepaintRulers(bool horizontal, bool vertical) {
    if (horizontal) PB_Horz->update();
    if (vertical) PB_Vert->update();
}

void TSheetArea::SetRulerMarkers(QPoint client) {
    PB_Horz->SetMarker(client.x());
    PB_Vert->SetMarker(client.y());
}

void TSheetArea::ShowFormSheetBar(bool on) {
    Panel_Formblatt->setVisible(on);
    m_blinkOn = false;
    BlinkFormSheetBar();
    if (on)
        m_blink->start();
    else
        m_blink->stop();
}

void TSheetArea::BlinkFormSheetBar() {
    // The banner text blinks between grey and white.
    m_blinkOn = !m_blinkOn;
    QPalette pal = L_Formblatt->palette();
    pal.setColor(QPalette::WindowText, m_blinkOn ? QColor(128, 128, 128) : QColor(255, 255, 255));
    L_Formblatt->setPalette(pal);
}

void TSheetArea::OriginCornerChosen(int tag) {
    if (!m_sheet) return;
    m_sheet->SetOriginCorner(tag);
    RepaintRulers(true, true);
    Q_EMIT OriginChanged();
}

bool TSheetArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched != SB_Nullpunkt) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton && m_sheet) {
            m_pressOnOrigin = true;
            m_originDragging = false;
            m_pressAt = e->globalPosition().toPoint();
            return true;
        }
        if (e->button() == Qt::RightButton) {
            Popup_KoordinatenUrsprung->popup(e->globalPosition().toPoint());
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!m_pressOnOrigin || !m_sheet) break;
        const QPoint global = e->globalPosition().toPoint();
        if (!m_originDragging &&
            (global - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
            m_originDragging = true;
            QApplication::setOverrideCursor(Qt::DragMoveCursor);
            m_sheet->BeginOriginDrag();
        }
        if (m_originDragging)
            ScrollBox_Editor->ExternalDragMove(global, e->buttons(), e->modifiers());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!m_pressOnOrigin || e->button() != Qt::LeftButton) break;
        m_pressOnOrigin = false;
        if (m_originDragging) {
            m_originDragging = false;
            QApplication::restoreOverrideCursor();
            ScrollBox_Editor->ExternalDragEnd();
            if (m_sheet) m_sheet->EndOriginDrag();
            RepaintRulers(true, true);
            Q_EMIT OriginChanged();
        } else {
            // A click without dragging offers the corners.
            Popup_KoordinatenUrsprung->popup(
                SB_Nullpunkt->mapToGlobal(QPoint(0, SB_Nullpunkt->height())));
        }
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
