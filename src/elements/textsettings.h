#pragma once

// Settings of texts and text boxes: the text presets of the five text tools and the two
// behaviour switches of rotating and mirroring. Start-up reads them ("General" and the five
// "...-Default" sections) and writes them back at shutdown; drawing and editing read the struct.

#include <QString>
#include <QtGlobal>

// One text preset ("Name", "Height", "Bold", "Italic", "Color", "Ausrichtung", "TextFill",
// "TextFillColor").
struct TTextStyle {
    QString Name = QStringLiteral("Arial");
    qint32 Height = 40; // 1/10 mm
    bool Bold = false;
    bool Italic = false;
    qint32 Color = 0;
    qint32 Ausrichtung =
        0; // texts: 0 left, 1 centred, 2 right; text boxes: 0 left, 1 right, 2 centred
    bool TextFill = false;
    qint32 TextFillColor = 0xFFFFFF;
    friend bool operator==(const TTextStyle&, const TTextStyle&) = default;
};

struct TTextSettings {
    bool TexteDrehen = true;   // "General": rotating a selection turns its texts
    bool TexteSpiegeln = true; // "General": mirroring a selection mirrors its texts
    TTextStyle Text;           // "Text-Default"
    TTextStyle TextRect;       // "TextRect-Default"
    TTextStyle TextKontakt{QStringLiteral("Arial"), 18}; // "TextKontakt-Default"
    TTextStyle TextWert{QStringLiteral("Arial"), 24};    // "TextWert-Default"
    TTextStyle TextBez{QStringLiteral("Arial"), 24};     // "TextBez-Default"
    friend bool operator==(const TTextSettings&, const TTextSettings&) = default;
};
extern TTextSettings g_TextSettings;


// Conditions of the transform in progress, set by the editor around each rotate or mirror call
// and reset afterwards.
struct TTextTransformState {
    bool ShiftHeld = false;
    // The editor transforms one selected element that is neither a group nor a component.
    bool SingleElement = false;
    // A dimension turns its own label along with it.
    bool DimensionLabel = false;
};
extern TTextTransformState g_TextTransform;

// Sets the transform state for the lifetime of the object and restores it afterwards.
class TTextTransformScope {
public:
    explicit TTextTransformScope(TTextTransformState state) : m_saved(g_TextTransform) {
        g_TextTransform = state;
    }
    ~TTextTransformScope() { g_TextTransform = m_saved; }
    TTextTransformScope(const TTextTransformScope&) = delete;
    TTextTransformScope& operator=(const TTextTransformScope&) = delete;

private:
    TTextTransformState m_saved;
};
