// Settings files come from users' disks and hand edits: reading must survive anything, and what
// is written must read back to the same bytes.
#include "platform/inifile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemIniFile ini{QString()};
    ini.LoadFromBytes(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QStringList sections = ini.ReadSections();
    for (const QString& s : sections) {
        for (const QString& k : ini.ReadSection(s)) {
            if (!ini.ValueExists(s, k)) std::abort();
            (void)ini.ReadString(s, k, QString());
            (void)ini.ReadInteger(s, k, 0);
            (void)ini.ReadBool(s, k, false);
        }
    }

    const QByteArray written = ini.ToBytes();
    TMemIniFile again{QString()};
    again.LoadFromBytes(written);
    if (again.ToBytes() != written || again.ReadSections() != sections) std::abort();

    // Changes on arbitrary content keep the file readable as what was written.
    if (!sections.isEmpty()) {
        again.WriteString(sections.first(), QStringLiteral("FuzzKey"), QStringLiteral("v"));
        again.EraseSection(sections.last());
        again.WriteInteger(sections.last(), QStringLiteral("K"), 1);
    }
    again.WriteBool(QStringLiteral("Fuzz"), QStringLiteral("B"), true);
    TMemIniFile third{QString()};
    third.LoadFromBytes(again.ToBytes());
    if (third.ToBytes() != again.ToBytes() ||
        !third.ReadBool(QStringLiteral("Fuzz"), QStringLiteral("B"), false))
        std::abort();
    return 0;
}
