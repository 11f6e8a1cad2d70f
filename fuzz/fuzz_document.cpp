// Documents, sheet files, form sheets and library pages come from anywhere: every kind of reader
// must survive any bytes, and whatever it accepts must write back to a file that reads to the
// same bytes again.
#include "document/document.h"
#include "document/fileformat.h"
#include "platform/prompt.h"
#include "platform/stream.h"

#include <cstdint>
#include <cstdlib>

namespace {
// Answers every question cautiously and keeps nothing, so memory stays flat over millions of runs.
class TQuietPrompts : public TPromptService {
public:
    TPromptResult Show(const TPromptRequest& r) override { return PromptCautiousAnswer(r.Buttons); }
};

QByteArray written(const TDocument& doc, FileKind kind) {
    QByteArray out;
    TStreamWriter w(&out);
    if (!WriteDocumentData(w, doc, kind)) std::abort();
    return out;
}

void roundTrip(const QByteArray& data, FileKind kind) {
    TDocument doc;
    if (kind == FileKind::FormSheetFile) doc.CreateSheet(false);
    const TLoadReport r = ReadDocumentData(doc, data, kind);
    if (FileVersion != kCurrentFileVersion) std::abort();
    if (r.Outcome != TLoadOutcome::Ok) return;
    // A document always ends with a sheet; a sheet file may hold none and add nothing.
    if (doc.SheetCount() == 0) {
        if (kind == FileKind::Document) std::abort();
        return;
    }
    const QByteArray first = written(doc, kind);
    TDocument again;
    if (kind == FileKind::FormSheetFile) again.CreateSheet(false);
    if (ReadDocumentData(again, first, kind).Outcome != TLoadOutcome::Ok) std::abort();
    if (written(again, kind) != first) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TQuietPrompts prompts;
    SetPrompts(&prompts);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (FileKind kind : {FileKind::Document, FileKind::SheetFile, FileKind::FormSheetFile,
                          FileKind::LibraryPage})
        roundTrip(bytes, kind);
    return 0;
}
