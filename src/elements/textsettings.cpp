#include "elements/textsettings.h"

#include "platform/inifile.h"

TTextSettings g_TextSettings;
TTextTransformState g_TextTransform;

namespace {
const QString kGeneral = QStringLiteral("General");

struct Section {
    const char* name;
    TTextStyle TTextSettings::*style;
};
constexpr Section kSections[] = {
    {"Text-Default", &TTextSettings::Text},
    {"TextRect-Default", &TTextSettings::TextRect},
    {"TextKontakt-Default", &TTextSettings::TextKontakt},
    {"TextWert-Default", &TTextSettings::TextWert},
    {"TextBez-Default", &TTextSettings::TextBez},
};

void readStyle(const TMemIniFile& ini, const QString& sec, TTextStyle& st) {
    const TTextStyle def = st;
    st.Name = ini.ReadString(sec, QStringLiteral("Name"), def.Name);
    if (st.Name.trimmed().isEmpty()) st.Name = def.Name;
    st.Height = ini.ReadInteger(sec, QStringLiteral("Height"), def.Height);
    if (st.Height <= 0) st.Height = def.Height;
    st.Bold = ini.ReadBool(sec, QStringLiteral("Bold"), def.Bold);
    st.Italic = ini.ReadBool(sec, QStringLiteral("Italic"), def.Italic);
    st.Color = ini.ReadInteger(sec, QStringLiteral("Color"), def.Color);
    st.Ausrichtung = ini.ReadInteger(sec, QStringLiteral("Ausrichtung"), def.Ausrichtung);
    if (st.Ausrichtung < 0 || st.Ausrichtung > 2) st.Ausrichtung = def.Ausrichtung;
    st.TextFill = ini.ReadBool(sec, QStringLiteral("TextFill"), def.TextFill);
    st.TextFillColor = ini.ReadInteger(sec, QStringLiteral("TextFillColor"), def.TextFillColor);
}

void writeStyle(TMemIniFile& ini, const QString& sec, const TTextStyle& st) {
    ini.WriteString(sec, QStringLiteral("Name"), st.Name);
    ini.WriteInteger(sec, QStringLiteral("Height"), st.Height);
    ini.WriteBool(sec, QStringLiteral("Bold"), st.Bold);
    ini.WriteBool(sec, QStringLiteral("Italic"), st.Italic);
    ini.WriteInteger(sec, QStringLiteral("Color"), st.Color);
    ini.WriteInteger(sec, QStringLiteral("Ausrichtung"), st.Ausrichtung);
    ini.WriteBool(sec, QStringLiteral("TextFill"), st.TextFill);
    ini.WriteInteger(sec, QStringLiteral("TextFillColor"), st.TextFillColor);
}
} // namespace

void ReadTextSettings(const TMemIniFile& ini, TTextSettings& s) {
    s.TexteDrehen = ini.ReadBool(kGeneral, QStringLiteral("TexteDrehen"), s.TexteDrehen);
    s.TexteSpiegeln = ini.ReadBool(kGeneral, QStringLiteral("TexteSpiegeln"), s.TexteSpiegeln);
    for (const Section& sec : kSections)
        readStyle(ini, QLatin1String(sec.name), s.*(sec.style));
}

void WriteTextSettings(TMemIniFile& ini, const TTextSettings& s) {
    ini.WriteBool(kGeneral, QStringLiteral("TexteDrehen"), s.TexteDrehen);
    ini.WriteBool(kGeneral, QStringLiteral("TexteSpiegeln"), s.TexteSpiegeln);
    for (const Section& sec : kSections)
        writeStyle(ini, QLatin1String(sec.name), s.*(sec.style));
}
