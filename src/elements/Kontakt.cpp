#include "elements/Kontakt.h"

#include "elements/MyD2D.h"
#include "elements/bauteil.h"
#include "elements/textsettings.h"
#include "platform/stream.h"

#include <QJsonObject>
#include <QPainter>
#include <QPolygonF>

TKontakt::TKontakt() : TText(etKontakt) {
    ApplyTextStyle(g_TextSettings.TextKontakt);
    Measure();
    PlaceAt({0, 0});
}

const TBauteil* TKontakt::ParentComponent() const {
    return IsLiveComponent(m_parent) ? m_parent : nullptr;
}

void TKontakt::applyShowNames() {
    if (ShowNames && !m_namesShown) {
        ContactText = SourceText;
        m_contactShown = ShownText;
        m_namesShown = true;
        if (SourceText != ContactName) SetSourceText(ContactName);
    } else if (!ShowNames && m_namesShown) {
        m_namesShown = false;
        if (SourceText != ContactText) SetSourceText(ContactText);
    }
}

void TKontakt::Draw(TDrawContext& dc) {
    applyShowNames();
    TText::Draw(dc);
    if (!Visible || !ShowNames) return;
    QPolygonF box;
    for (const TRPoint& c : Corners)
        box << dc.Map(c);
    QPainter& p = dc.Painter;
    const QPen old = p.pen();
    p.setPen(LinePen(dc, Selected ? g_SelectionColors.Main : Font.Color, 0, 0));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(box);
    p.setPen(old);
}

void TKontakt::SaveToStream(TStreamWriter& s) const {
    if (m_namesShown) {
        // The record holds the contact text; the name stays on the screen afterwards.
        auto* self = const_cast<TKontakt*>(this);
        std::swap(self->SourceText, self->ContactText);
        std::swap(self->ShownText, self->m_contactShown);
        TText::SaveToStream(s);
        std::swap(self->SourceText, self->ContactText);
        std::swap(self->ShownText, self->m_contactShown);
    } else {
        TText::SaveToStream(s);
    }
    s.WriteString(ContactName);
}

void TKontakt::LoadFromStream(TStreamReader& s) {
    TText::LoadFromStream(s);
    ContactName = FileVersion >= 80 ? s.ReadString() : ReadCountedShortString(s);
    RebuildGlyphs();
    m_namesShown = false;
    ContactText = SourceText;
}

bool TKontakt::DumpTypeFields(QJsonObject& out) const {
    TText::DumpTypeFields(out);
    out.insert(QStringLiteral("ContactName"), ContactName);
    out.insert(QStringLiteral("ContactText"), CurrentContactText());
    return true;
}
