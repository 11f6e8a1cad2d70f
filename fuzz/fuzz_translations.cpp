// "Translations.txt" is edited by hand and may come in any encoding: decoding and merging must
// survive anything and may only ever add a translation to complete message lines.
#include "platform/messages.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first sections of the real table: enough lines of every kind, and fast to copy.
    static const TMessageTable builtIn(TMessageTable::BuiltIn().Lines().mid(0, 120));
    const QStringList lines = DecodeTranslationLines(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const TMessageTable file(lines);

    TMessageTable merged = builtIn;
    const int count = merged.MergeTranslations(file);
    if (count < 0 || count > 120 || merged.Validate() != -1) std::abort();
    if (merged.Lines().size() != builtIn.Lines().size()) std::abort();
    for (qsizetype i = 0; i < builtIn.Lines().size(); ++i) {
        const QString& before = builtIn.Lines()[i];
        const QString& after = merged.Lines()[i];
        if (!after.startsWith(before)) std::abort();
        if (after.size() != before.size() && after[before.size()] != u';') std::abort();
    }
    for (int id : {100, 114, 1000, 1208}) {
        if (merged.FindLine(id) != builtIn.FindLine(id)) std::abort();
        (void)merged.Text(id, LangFrench);
    }
    for (qsizetype i = 0; i < lines.size() && i < 64; ++i)
        (void)file.Text(i, LangGerman);
    return 0;
}
