#pragma once

// Contacts: texts inside a component body that carry a contact name (11, 14) besides the text
// shown on the sheet; the contact mirror and the parent placeholders read them.

#include "elements/text.h"

class TBauteil;

class TKontakt : public TText {
public:
    TKontakt(); // the contact text preset (1.8 mm high)

    // While a component is edited in the library, contacts show and store their names.
    bool ShowNames = false;
    QString ContactName;
    // The text shown on the sheet; while names are shown SourceText holds the name and this
    // field keeps the text (CurrentContactText gives it either way).
    QString ContactText;
    // The parent component of the component whose body holds the contact (run time): set by the
    // component's SetParent; none once that parent is gone, even when the contact was taken out
    // of the body in the meantime.
    const TBauteil* ParentComponent() const;

    QString CurrentContactText() const { return m_namesShown ? ContactText : SourceText; }
    // True while SourceText holds the name instead of the text.
    bool NamesShown() const { return m_namesShown; }

    // With ShowNames the name is laid out and the box outlined in the font colour.
    void Draw(TDrawContext& dc) override;
    // The text record (with the contact text, never the name shown), then ContactName.
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    bool DumpTypeFields(QJsonObject& out) const override;

private:
    friend class TBauteil;
    const TBauteil* m_parent = nullptr;
    // Brings SourceText in line with ShowNames.
    void applyShowNames();
    bool m_namesShown = false;
    QString m_contactShown; // the shown text of ContactText while the name is shown
};
