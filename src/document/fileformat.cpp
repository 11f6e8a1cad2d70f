#include "document/fileformat.h"

#include "document/document.h"
#include "document/placeholders.h"
#include "elements/elementlist.h"
#include "elements/registers.h"
#include "platform/cp1252.h"
#include "platform/messages.h"
#include "platform/prompt.h"
#include "platform/stream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kHeaderSize = 11;
constexpr qint32 kMaxSheetMm = 100000;
constexpr qint32 kMaxGrid = 100000;

// The loading mark is one process-wide switch; sheets created while it is set are not shown.
class TLoadingMark {
public:
    TLoadingMark() : m_saved(g_ElementSwitches.LoadingMark) { g_ElementSwitches.LoadingMark = true; }
    ~TLoadingMark() { g_ElementSwitches.LoadingMark = m_saved; }
    TLoadingMark(const TLoadingMark&) = delete;
    TLoadingMark& operator=(const TLoadingMark&) = delete;

private:
    bool m_saved;
};

class TBusy {
public:
    explicit TBusy(TDocument& doc) : m_host(doc.Host) {
        if (m_host) m_host->SetBusy(true);
    }
    ~TBusy() {
        if (m_host) m_host->SetBusy(false);
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    TDocumentHost* m_host;
};

float finiteOr(float v, float fallback) { return std::isfinite(v) ? v : fallback; }

// ---------------------------------------------------------------------------------------------
// Writing

void writeHeader(TStreamWriter& s) { s.WriteShortString(QStringLiteral("KAVRO80"), kHeaderSize); }

void writeUserVariables(TStreamWriter& s, const TUserVariables& vars) {
    // A block the reader would refuse must never be written: entries are cut to the stored
    // limit, and variables beyond the limit are left out.
    QStringList entries;
    for (const TUserVariable& v : vars) {
        if (v.Name.isEmpty()) continue;
        if (entries.size() == kMaxUserVariables) break;
        QString entry = v.Name + QLatin1Char('|') + v.Value;
        if (entry.size() > kMaxUserVariableEntry) {
            qsizetype n = kMaxUserVariableEntry;
            if (entry.at(n - 1).isHighSurrogate()) --n;
            entry.truncate(n);
        }
        entries.append(entry);
    }
    s.WriteI32(static_cast<qint32>(entries.size()));
    for (const QString& e : entries) s.WriteString(e);
}

void writeOptions(TStreamWriter& s, const TDocument& doc) {
    s.WriteBool(doc.ComponentPageNumbers);
    s.WriteBool(doc.SheetPageNumbers);
    s.WriteString(doc.PageNumberPrefix);
    s.WriteString(doc.PrintSelection);
}

void writePrintLayout(TStreamWriter& s, const TPrintLayout& p) {
    s.WriteI32(p.Orientation);
    s.WriteF32(p.OffsetX);
    s.WriteF32(p.OffsetY);
    s.WriteI32(p.ScalePercent);
    s.WriteU8(p.UseScale);
    s.WriteRaw(p.Padding, 3);
    s.WriteI32(p.PagesAcross);
    s.WriteI32(p.PagesDown);
    s.WriteI32(p.Overlap);
    s.WriteI32(p.ClipFlags);
}

void writeZoneGrid(TStreamWriter& s, const TZoneGrid& z) {
    s.WriteF32(z.Width);
    s.WriteF32(z.Height);
    s.WriteF32(z.OffsetX);
    s.WriteF32(z.OffsetY);
    s.WriteI32(z.Columns);
    s.WriteI32(z.Rows);
    s.WriteI32(z.FirstColumn);
    s.WriteI32(z.FirstRow);
}

void writeFloatList(TStreamWriter& s, const std::vector<float>& list) {
    s.WriteI32(static_cast<qint32>(list.size()) - 1);
    for (float f : list) s.WriteF32(f);
}

void writeSheetStart(TStreamWriter& s, const TEditor& sheet) {
    s.WriteString(sheet.SheetName);
    s.WriteI32(sheet.SheetHeight);
    s.WriteI32(sheet.SheetWidth);
    s.WriteI32(sheet.GridSize);
    s.WriteI32(sheet.ScrollPosition.x());
    s.WriteI32(sheet.ScrollPosition.y());
    s.WriteF32(sheet.Zoom);
    WriteElementList(s, sheet.Elements);
}

bool isFormLayer(const TElement& e) { return e.FormLayer; }

// ---------------------------------------------------------------------------------------------
// Reading

struct THeader {
    bool Kavro = false;
    int Version = 0;
};

THeader readHeader(const QByteArray& data) {
    THeader h;
    if (data.size() < kHeaderSize) return h;
    const char d6 = data.at(6), d7 = data.at(7);
    if (data.mid(1, 5) != "KAVRO" || d6 < '0' || d6 > '9' || d7 < '0' || d7 > '9') return h;
    h.Kavro = true;
    h.Version = (d6 - '0') * 10 + (d7 - '0');
    return h;
}

// A string of at most `limit` UTF-16 code units; longer ones are refused before reading.
QString readLimitedString(TStreamReader& s, int limit) {
    const qint64 at = s.Pos();
    const qint32 n = s.ReadI32();
    if (n < 0 || n > limit)
        throw LoadError(QStringLiteral("user variable of %1 characters").arg(n), at);
    s.Seek(at);
    return s.ReadString();
}

// Before version 80: int32 n, then n + 1 bytes holding a short string of n characters.
QString readLegacyLimitedString(TStreamReader& s, int limit) {
    const qint64 at = s.Pos();
    const qint32 n = s.ReadI32();
    if (n < 0 || n > limit)
        throw LoadError(QStringLiteral("user variable of %1 characters").arg(n), at);
    const QByteArray field = s.ReadBytes(qint64(n) + 1);
    const int len = qMin<int>(static_cast<quint8>(field.at(0)), n);
    return FromCp1252(field.constData() + 1, len);
}

void readUserVariables(TStreamReader& s, TUserVariables& vars, int version) {
    const qint64 at = s.Pos();
    const qint32 count = s.ReadI32();
    if (count > kMaxUserVariables)
        throw LoadError(QStringLiteral("%1 user variables").arg(count), at);
    if (count <= 0) return;
    s.CheckCount(count, 4, "user variables");
    TUserVariableMerger merger(vars);
    for (qint32 i = 0; i < count; ++i) {
        const QString entry = version >= 80 ? readLimitedString(s, kMaxUserVariableEntry)
                                            : readLegacyLimitedString(s, kMaxUserVariableEntry);
        merger.Merge(entry);
    }
}

void readPrintLayout(TStreamReader& s, TPrintLayout& p) {
    p.Orientation = s.ReadI32();
    p.OffsetX = s.ReadF32();
    p.OffsetY = s.ReadF32();
    p.ScalePercent = s.ReadI32();
    p.UseScale = s.ReadU8();
    s.ReadRaw(p.Padding, 3);
    p.PagesAcross = s.ReadI32();
    p.PagesDown = s.ReadI32();
    p.Overlap = s.ReadI32();
    p.ClipFlags = s.ReadI32();
    // Values the print preview divides by or loops over stay within their ranges.
    const TPrintLayout defaults;
    if (p.Orientation < 0 || p.Orientation > 2) p.Orientation = defaults.Orientation;
    p.OffsetX = finiteOr(p.OffsetX, 0);
    p.OffsetY = finiteOr(p.OffsetY, 0);
    p.ScalePercent = std::clamp(p.ScalePercent, 1, 100000);
    p.PagesAcross = std::clamp(p.PagesAcross, 1, 6);
    p.PagesDown = std::clamp(p.PagesDown, 1, 6);
    p.Overlap = std::clamp(p.Overlap, 0, 20);
}

void readZoneGrid(TStreamReader& s, TZoneGrid& z) {
    TZoneGrid r;
    r.Width = s.ReadF32();
    r.Height = s.ReadF32();
    r.OffsetX = s.ReadF32();
    r.OffsetY = s.ReadF32();
    r.Columns = s.ReadI32();
    r.Rows = s.ReadI32();
    r.FirstColumn = s.ReadI32();
    r.FirstRow = s.ReadI32();
    // The zone width is divided by the column count and positions by the zone width.
    const TZoneGrid d;
    r.Width = std::isfinite(r.Width) ? std::clamp(r.Width, 1.0f, 1e7f) : d.Width;
    r.Height = std::isfinite(r.Height) ? std::clamp(r.Height, 1.0f, 1e7f) : d.Height;
    r.OffsetX = std::isfinite(r.OffsetX) ? std::clamp(r.OffsetX, -1e7f, 1e7f) : d.OffsetX;
    r.OffsetY = std::isfinite(r.OffsetY) ? std::clamp(r.OffsetY, -1e7f, 1e7f) : d.OffsetY;
    r.Columns = std::clamp(r.Columns, 1, 50);
    r.Rows = std::clamp(r.Rows, 1, 50);
    r.FirstColumn = std::clamp(r.FirstColumn, -1000000, 1000000);
    r.FirstRow = std::clamp(r.FirstRow, -1000000, 1000000);
    z = r;
}

void readFloatList(TStreamReader& s, std::vector<float>& list) {
    const qint32 countMinusOne = s.ReadI32();
    list.clear();
    if (countMinusOne < 0) return;
    const qint64 count = qint64(countMinusOne) + 1;
    s.CheckCount(count, 4, "magnet lines");
    list.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i) list.push_back(s.ReadF32());
}

// Fields 2 to 8 of a sheet record: size, grid, scroll position, zoom and the element list.
void readSheetStart(TStreamReader& s, TEditor& sheet, int version, bool registerTexts) {
    sheet.SheetHeight = std::clamp(s.ReadI32(), 1, kMaxSheetMm);
    sheet.SheetWidth = std::clamp(s.ReadI32(), 1, kMaxSheetMm);
    if (version < 80) s.Skip(2);
    sheet.GridSize = std::clamp(s.ReadI32(), 1, kMaxGrid);
    const qint32 sx = s.ReadI32();
    const qint32 sy = s.ReadI32();
    sheet.ScrollPosition = QPoint(sx, sy);
    sheet.SetZoom(s.ReadF32());
    ReadElementList(s, sheet.Elements, registerTexts);
}

// Fields 9 to 18 of a full sheet record.
void readSheetRest(TStreamReader& s, TEditor& sheet, int version) {
    readFloatList(s, sheet.MagnetLinesH);
    readFloatList(s, sheet.MagnetLinesV);
    if (version >= 60) {
        const float ox = s.ReadF32();
        const float oy = s.ReadF32();
        sheet.Origin = {finiteOr(ox, 0), finiteOr(oy, 0)};
    }
    if (version >= 70) {
        const double scale = s.ReadF64();
        sheet.Scale = std::isfinite(scale) && scale > 0 ? scale : 1.0;
        sheet.UnitDivisor = s.ReadI32();
        sheet.SheetDescription = version >= 80 ? s.ReadString() : s.ReadAnsiString();
    }
    if (version >= 80) {
        readPrintLayout(s, sheet.PrintLayout);
        sheet.ReserveSheet = s.ReadBool();
        readZoneGrid(s, sheet.ZoneGrid);
        sheet.ZoneGridVisible = s.ReadBool();
    }
}

// Components whose body holds nothing are dropped. This is part of reading, not an edit: no
// undo step, no change of Modified.
void removeEmptyComponents(TEditor& sheet) {
    auto& list = sheet.Elements;
    for (auto it = list.begin(); it != list.end();) {
        TComponentLinks* c = AsComponent(it->get());
        if (c && c->BodyIsEmpty()) {
            UnregisterLoadedElements(it->get());
            it = list.erase(it);
        } else {
            ++it;
        }
    }
}

TLoadReport failed(TLoadOutcome outcome, TDamageStage stage, const QString& reason, qint64 at) {
    TLoadReport r;
    r.Outcome = outcome;
    r.Stage = stage;
    r.Reason = reason;
    r.Offset = at;
    return r;
}

// Turns any error of a reader into a damage description.
template <typename F> bool guarded(TLoadReport& report, TDamageStage stage, F&& f) {
    try {
        f();
        return true;
    } catch (const LoadError& e) {
        report.Reason = e.What;
        report.Offset = e.Offset;
    } catch (const std::bad_alloc&) {
        report.Reason = QStringLiteral("out of memory");
    } catch (const std::exception& e) {
        report.Reason = QString::fromLocal8Bit(e.what());
    }
    report.Outcome = TLoadOutcome::Damaged;
    report.Stage = stage;
    return false;
}

TLoadReport readFormSheetData(TDocument& doc, const QByteArray& data, const TLoadOptions& options) {
    TLoadReport report;
    TEditor* sheet = doc.CurrentSheet();
    if (!sheet) return failed(TLoadOutcome::CannotRead, TDamageStage::None,
                              QStringLiteral("no sheet to load the form sheet into"), -1);
    TStreamReader s(data);
    qint64 version = 40;
    if (!guarded(report, TDamageStage::Elements, [&] {
            const qint32 first = s.ReadI32();
            if (first < -1)
                version = -qint64(first);
            else
                s.Seek(0);
        }))
        return report;
    report.Version = int(qMin<qint64>(version, 1 << 30));
    if (version > kCurrentFileVersion) {
        report.Outcome = TLoadOutcome::NewerVersion;
        return report;
    }
    TFileVersionScope versionScope(static_cast<int>(version));
    ComponentRegister().clear();
    TUserVariables vars = doc.UserVariables;
    TElementList elements;
    TZoneGrid zoneGrid = sheet->ZoneGrid;
    const bool ok = guarded(report, TDamageStage::Elements, [&] {
        if (version >= 60) readUserVariables(s, vars, int(version));
        ReadElementList(s, elements);
        for (const auto& e : elements) e->SetFormLayer(true);
        if (!s.AtEnd()) readZoneGrid(s, zoneGrid);
    });
    if (!ok) {
        ComponentRegister().clear();
        return report;
    }
    // Only a completely read file touches the sheet.
    if (options.ReplaceFormSheet) sheet->DeleteFormSheetElements();
    for (auto& e : elements) sheet->Elements.push_back(std::move(e));
    sheet->ZoneGrid = zoneGrid;
    sheet->GatherFormLayer();
    doc.UserVariables = vars;
    RelinkComponents(doc.ElementLists(), false);
    if (!options.ApplyingDefaultFormSheet) doc.Modified = true;
    report.Passes = 1;
    return report;
}

TLoadReport readSheetsData(TDocument& doc, const QByteArray& data, FileKind kind) {
    TLoadReport report;
    const THeader header = readHeader(data);
    if (!header.Kavro) return failed(TLoadOutcome::NotKavro, TDamageStage::None,
                                     QStringLiteral("no Kavro header"), 0);
    const int version = header.Version;
    report.Version = version;
    if (version > kCurrentFileVersion) {
        report.Outcome = TLoadOutcome::NewerVersion;
        return report;
    }
    TFileVersionScope versionScope(version);
    const bool isDocument = kind == FileKind::Document;
    const int firstNew = doc.SheetCount();

    for (;;) {
        ++report.Passes;
        TStreamReader s(data);
        s.Seek(kHeaderSize);
        const bool pageNumbersInEffect = doc.ComponentPageNumbers;
        if (!guarded(report, TDamageStage::Variables, [&] {
                if (isDocument) doc.UserVariables.clear();
                if (version >= 60) readUserVariables(s, doc.UserVariables, version);
                if (isDocument && version >= 61) {
                    doc.ComponentPageNumbers = s.ReadBool();
                    doc.SheetPageNumbers = s.ReadBool();
                    if (version >= 80) {
                        doc.PageNumberPrefix = s.ReadString();
                        doc.PrintSelection = s.ReadString();
                    } else {
                        doc.PrintSelection.clear();
                    }
                }
            }))
            return report;

        qint32 current = 0;
        {
            TLoadingMark loading;
            ComponentRegister().clear();
            LoadedTextRegister().clear();
            qint64 stored = 0;
            if (!guarded(report, TDamageStage::Sheets, [&] {
                    current = qMax(0, s.ReadI32());
                    stored = qMax<qint64>(0, qint64(s.ReadI32()) + 1);
                })) {
                return report;
            }
            report.SheetsStored = int(qMin<qint64>(stored, INT_MAX));
            report.SheetsRead = 0;
            for (qint64 i = 0; i < stored; ++i) {
                // A record only adds to the registers (and takes out only what it added), so
                // their sizes are the copy of them taken before it.
                const size_t componentsBefore = ComponentRegister().size();
                const size_t textsBefore = LoadedTextRegister().size();
                const int sheetsBefore = doc.SheetCount();
                if (!guarded(report, TDamageStage::Sheets,
                             [&] { ReadSheetRecord(s, doc, version); })) {
                    ComponentRegister().resize(std::min(componentsBefore, ComponentRegister().size()));
                    LoadedTextRegister().resize(std::min(textsBefore, LoadedTextRegister().size()));
                    if (doc.SheetCount() > sheetsBefore) doc.RemoveSheet(doc.SheetCount() - 1);
                    // What was read stays consistent: its components are linked.
                    RelinkComponents(doc.ElementLists(), false);
                    LoadedTextRegister().clear();
                    return report;
                }
                ++report.SheetsRead;
            }
        }
        RelinkComponents(doc.ElementLists(), false);

        if (isDocument && version >= 50 && version <= 60) {
            bool componentPageNumbers = false, sheetPageNumbers = false;
            if (!guarded(report, TDamageStage::Trailer, [&] {
                    componentPageNumbers = s.ReadBool();
                    sheetPageNumbers = s.ReadBool();
                })) {
                LoadedTextRegister().clear();
                return report;
            }
            doc.SheetPageNumbers = sheetPageNumbers;
            if (componentPageNumbers != pageNumbersInEffect && report.Passes == 1) {
                // Component labels were built with the other setting: read everything again.
                doc.ComponentPageNumbers = componentPageNumbers;
                while (doc.SheetCount() > firstNew) doc.RemoveSheet(doc.SheetCount() - 1);
                report.SheetsRead = 0;
                continue;
            }
            doc.ComponentPageNumbers = componentPageNumbers;
        }

        if (isDocument) {
            if (doc.SheetCount() == 0) doc.CreateSheet(false);
            doc.ShowSheet(std::min<int>(current, doc.SheetCount() - 1));
            doc.ClearSheetHistory();
        } else if (doc.SheetCount() > 0) {
            doc.ShowSheet(doc.SheetCount() - 1);
            doc.Modified = true;
        }
        if (doc.Host) doc.Host->SheetsChanged();
        if (version < 80) ConvertLegacyTextLinks(doc.ElementLists());
        LoadedTextRegister().clear();
        RefreshTextBoxes(doc); // their lines were laid out before the sheets were complete
        return report;
    }
}

// ---------------------------------------------------------------------------------------------
// Files

QString quoted(const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

int language() {
    const int l = InterfaceLanguage();
    return l >= 0 && l <= 2 ? l : 0;
}

void showCannotWrite(const QString& fileName) {
    Prompts().Information(GetMessage(5004) + QStringLiteral("\r\r") +
                          quoted(QFileInfo(fileName).absoluteFilePath()));
}

QString cannotReadText(const QString& fileName) {
    static const char* const text[] = {"Die Datei kann nicht gelesen werden:",
                                       "The file can not be read:",
                                       "Le fichier n\u00B4a pas pu \u00EAtre lu:"};
    return QString::fromUtf8(text[language()]) + QStringLiteral("\r\r") +
           quoted(QFileInfo(fileName).absoluteFilePath());
}

QString newerVersionText(const QString& fileName, int version) {
    const int major = int(std::nearbyint(version / 10.0));
    return quoted(fileName) + QStringLiteral("\r\r") + GetMessage(5006) +
           QStringLiteral(" (%1.0)").arg(major) + QStringLiteral("\r\r") + GetMessage(5007);
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

QFileDevice::Permissions permissionsOfMode(mode_t mode) {
    QFileDevice::Permissions p;
    if (mode & S_IRUSR) p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR) p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IXUSR) p |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (mode & S_IRGRP) p |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP) p |= QFileDevice::WriteGroup;
    if (mode & S_IXGRP) p |= QFileDevice::ExeGroup;
    if (mode & S_IROTH) p |= QFileDevice::ReadOther;
    if (mode & S_IWOTH) p |= QFileDevice::WriteOther;
    if (mode & S_IXOTH) p |= QFileDevice::ExeOther;
    return p;
}

// Writes through `write` into the file. A regular file (or a new one) is written to a temporary
// file beside it, flushed to the disk and moved over the old one; a device is written directly.
template <typename F> bool writeFileSafely(const QString& fileName, bool keepPermissions, F&& write) {
    if (fileName.isEmpty()) return false;
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        QFile device(fileName);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
        TStreamWriter w(&device);
        const bool wrote = write(w);
        return w.Flush() && wrote && w.Ok();
    }
    QSaveFile f(fileName);
    f.setDirectWriteFallback(false);
    // Unbuffered: a short write in a final buffer flush would go unnoticed by commit().
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    const bool keep = keepPermissions && info.exists();
    if (!f.setPermissions(keep ? info.permissions() : permissionsOfMode(defaultFileMode()))) {
        f.cancelWriting();
        return false;
    }
    bool ok;
    {
        TStreamWriter w(&f);
        ok = write(w);
        ok = w.Flush() && ok && w.Ok();
    }
    if (ok) ok = ::fsync(f.handle()) == 0;
    if (!ok) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

QString folderOf(const QString& fileName) {
    return QFileInfo(fileName).absolutePath() + QLatin1Char('/');
}

} // namespace

// ---------------------------------------------------------------------------------------------

bool FileKindOfName(const QString& fileName, FileKind& kind) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("kav8") || ext == QLatin1String("kav") || ext == QLatin1String("bak"))
        kind = FileKind::Document;
    else if (ext == QLatin1String("blt"))
        kind = FileKind::SheetFile;
    else if (ext == QLatin1String("sbk"))
        kind = FileKind::FormSheetFile;
    else if (ext == QLatin1String("lib"))
        kind = FileKind::LibraryPage;
    else
        return false;
    return true;
}

const char* FileKindName(FileKind kind) {
    switch (kind) {
    case FileKind::Document: return "document";
    case FileKind::SheetFile: return "sheet file";
    case FileKind::FormSheetFile: return "form sheet";
    case FileKind::LibraryPage: return "library page";
    }
    return "";
}

void WriteSheetRecord(TStreamWriter& s, const TEditor& sheet) {
    writeSheetStart(s, sheet);
    writeFloatList(s, sheet.MagnetLinesH);
    writeFloatList(s, sheet.MagnetLinesV);
    s.WriteF32(sheet.Origin.X);
    s.WriteF32(sheet.Origin.Y);
    s.WriteF64(sheet.Scale);
    s.WriteI32(sheet.UnitDivisor);
    s.WriteString(sheet.SheetDescription);
    writePrintLayout(s, sheet.PrintLayout);
    s.WriteBool(sheet.ReserveSheet);
    writeZoneGrid(s, sheet.ZoneGrid);
    s.WriteBool(sheet.ZoneGridVisible);
}

void ReadSheetRecord(TStreamReader& s, TDocument& doc, int version) {
    const QString name = version >= 80 ? s.ReadString() : s.ReadShortString(31);
    TEditor& sheet = doc.CreateSheet(false);
    sheet.SheetName = name;
    readSheetStart(s, sheet, version, true);
    readSheetRest(s, sheet, version);
    removeEmptyComponents(sheet);
}

bool WriteDocumentData(TStreamWriter& s, const TDocument& doc, FileKind kind) {
    const TEditor* current = doc.CurrentSheet();
    switch (kind) {
    case FileKind::FormSheetFile:
        if (!current) return false;
        s.WriteI32(-kCurrentFileVersion);
        writeUserVariables(s, doc.UserVariables);
        WriteElementList(s, current->Elements, isFormLayer);
        writeZoneGrid(s, current->ZoneGrid);
        return true;
    case FileKind::SheetFile:
        if (!current) return false;
        writeHeader(s);
        writeUserVariables(s, doc.UserVariables);
        s.WriteI32(0);
        s.WriteI32(0);
        WriteSheetRecord(s, *current);
        return true;
    case FileKind::LibraryPage:
        if (!current) return false;
        WriteLibraryPageData(s, *current);
        return true;
    case FileKind::Document:
        writeHeader(s);
        writeUserVariables(s, doc.UserVariables);
        writeOptions(s, doc);
        s.WriteI32(qMax(0, doc.CurrentIndex()));
        s.WriteI32(doc.SheetCount() - 1);
        for (int i = 0; i < doc.SheetCount(); ++i) WriteSheetRecord(s, doc.Sheet(i));
        return true;
    }
    return false;
}

TLoadReport ReadDocumentData(TDocument& doc, const QByteArray& data, FileKind kind,
                             const TLoadOptions& options) {
    switch (kind) {
    case FileKind::FormSheetFile:
        return readFormSheetData(doc, data, options);
    case FileKind::LibraryPage: {
        TEditor& sheet = doc.CreateSheet(false);
        TLoadReport r = ReadLibraryPageData(data, sheet);
        if (r.Outcome != TLoadOutcome::Ok) doc.RemoveSheet(doc.IndexOf(&sheet));
        return r;
    }
    case FileKind::Document:
    case FileKind::SheetFile:
        break;
    }
    return readSheetsData(doc, data, kind);
}

void WriteLibraryPageData(TStreamWriter& s, const TEditor& page) {
    writeHeader(s);
    s.WriteI32(0);
    s.WriteI32(0);
    writeSheetStart(s, page);
}

TLoadReport ReadLibraryPageData(const QByteArray& data, TEditor& page) {
    TLoadReport report;
    const THeader header = readHeader(data);
    if (!header.Kavro) return failed(TLoadOutcome::NotKavro, TDamageStage::None,
                                     QStringLiteral("no Kavro header"), 0);
    report.Version = header.Version;
    if (header.Version > kCurrentFileVersion) {
        report.Outcome = TLoadOutcome::NewerVersion;
        return report;
    }
    TFileVersionScope versionScope(header.Version);
    TLoadingMark loading;
    ComponentRegister().clear();
    report.Passes = 1;
    const bool ok = guarded(report, TDamageStage::Elements, [&] {
        TStreamReader s(data);
        s.Seek(kHeaderSize);
        s.ReadI32();
        const qint64 stored = qMax<qint64>(0, qint64(s.ReadI32()) + 1);
        report.SheetsStored = int(qMin<qint64>(stored, INT_MAX));
        for (qint64 i = 0; i < stored; ++i) {
            page.SheetName = header.Version >= 80 ? s.ReadString() : s.ReadShortString(31);
            readSheetStart(s, page, header.Version, false);
            ++report.SheetsRead;
        }
    });
    if (!ok) {
        ComponentRegister().clear();
        return report;
    }
    RelinkComponents({&page.Elements}, true);
    return report;
}

bool SaveLibraryPageFile(const TEditor& page, const QString& fileName) {
    return writeFileSafely(fileName, false, [&](TStreamWriter& w) {
        WriteLibraryPageData(w, page);
        return true;
    });
}

QString AutosaveFileName(const QString& fileName) {
    const QFileInfo fi(fileName);
    return fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".bak"));
}

QString RecoveryFileName(const QString& fileName) {
    const QFileInfo fi(fileName);
    return fi.dir().filePath(fi.completeBaseName() + QStringLiteral("_RECOVER.kav8"));
}

QString BackupFileName(const QString& fileName) {
    const QFileInfo fi(fileName);
    return fi.dir().filePath(QStringLiteral("Backup_of_") + fi.fileName());
}

QString DamagedFileText(const QString& path) {
    switch (language()) {
    case 1:
        return QStringLiteral("*** LOAD ERROR ***\r\rThe file ") + quoted(path) +
               QStringLiteral(" is corrupt.\r\r");
    case 2:
        return QStringLiteral("*** CHARGEMENT ERROR ***\r\rLe fichier ") + quoted(path) +
               QStringLiteral(" est corrompu.\r\r");
    default:
        return QStringLiteral("*** LADEFEHLER ***\r\rDie Datei ") + quoted(path) +
               QStringLiteral(" ist defekt.\r\r");
    }
}

QString RepairOfferText(const QString& path, int n, int m) {
    const QString N = QString::number(n), M = QString::number(m);
    switch (language()) {
    case 1:
        return DamagedFileText(path) + QStringLiteral("An analysis has shown that at least the first ") +
               N + QStringLiteral(" of a total of ") + M +
               QStringLiteral(" pages can be reconstructed.\r\rShould Kavro try to repair the "
                              "file?\r\rA new file will be created, Kavro will be terminated and "
                              "then restarted with the new file.");
    case 2:
        return DamagedFileText(path) +
               QStringLiteral("Une analyse a montr\u00E9 que au moins la premi\u00E8re ") + N +
               QStringLiteral("  peut \u00EAtre reconstruite \u00E0 partir d\u00B4un total de ") +
               M +
               QStringLiteral(" pages\r\rSi Kavro essayer le fichier de r\u00E9paration?\r\rIci, un "
                              "nouveau fichier est cr\u00E9\u00E9, Kavro est arr\u00EAt\u00E9, puis a "
                              "commenc\u00E9 avec le nouveau fichier.");
    default:
        return DamagedFileText(path) +
               QStringLiteral("Eine Analyse hat ergeben, dass zumindest die ersten ") + N +
               QStringLiteral(" von insgesamt ") + M +
               QStringLiteral(" Bl\u00E4tter rekonstruiert werden k\u00F6nnen\r\rSoll Kavro "
                              "versuchen die Datei zu reparieren?\r\rDabei wird eine neue Datei "
                              "erstellt, Kavro wird beendet und anschlie\u00DFend mit der neuen "
                              "Datei wieder gestartet.");
    }
}

bool SaveDocumentFile(TDocument& doc, const QString& fileName, FileKind kind, bool autosave) {
    if (doc.Host && doc.CurrentSheet()) doc.Host->SyncShownSheet(*doc.CurrentSheet());
    bool ok;
    {
        TBusy busy(doc);
        ok = writeFileSafely(fileName, doc.Settings.KeepFileInfo, [&](TStreamWriter& w) {
            return WriteDocumentData(w, doc, kind);
        });
    }
    if (!ok) {
        showCannotWrite(fileName);
        return false;
    }
    if (kind == FileKind::Document && !autosave) {
        for (int i = 0; i < doc.SheetCount(); ++i) doc.Sheet(i).ClearUndo();
        doc.Modified = false;
    }
    if (kind == FileKind::FormSheetFile)
        doc.Settings.FormSheetFolder = folderOf(fileName);
    else if (kind != FileKind::LibraryPage)
        doc.Settings.DocumentFolder = folderOf(fileName);
    return true;
}

namespace {
// Leaves a document whose load failed with one new empty sheet.
void resetToNewSheet(TDocument& doc) {
    doc.DeleteAllSheets();
    doc.CreateSheet(false);
}

void showLoadError(TDocument& doc, const QString& text, TPromptIcon icon,
                   const QString& caption = QStringLiteral("Kavro")) {
    if (doc.Host) doc.Host->LoadErrorShowing();
    TPromptRequest r;
    r.Text = text;
    r.Icon = icon;
    r.Caption = caption;
    Prompts().Show(r);
}
} // namespace

bool LoadDocumentFile(TDocument& doc, const QString& fileName, FileKind kind,
                      const TLoadOptions& options, TLoadReport* reportOut) {
    TLoadReport localReport;
    TLoadReport& report = reportOut ? *reportOut : localReport;
    const bool isDocument = kind == FileKind::Document;
    const bool hasSheets = isDocument || kind == FileKind::SheetFile;
    const QString path = QFileInfo(fileName).absoluteFilePath();

    struct TSheetArea {
        TDocumentHost* host;
        bool active;
        ~TSheetArea() {
            if (active && host) host->SetSheetAreaVisible(true);
        }
    } area{doc.Host, isDocument};
    if (isDocument && doc.Host) doc.Host->SetSheetAreaVisible(false);

    QByteArray data;
    {
        QFile f(fileName);
        if (!f.open(QIODevice::ReadOnly)) {
            report = failed(TLoadOutcome::CannotRead, TDamageStage::None, f.errorString(), -1);
        } else {
            data = f.readAll();
            if (f.error() != QFileDevice::NoError)
                report = failed(TLoadOutcome::CannotRead, TDamageStage::None, f.errorString(), -1);
        }
    }
    if (report.Outcome == TLoadOutcome::Ok) {
        TBusy busy(doc);
        report = ReadDocumentData(doc, data, kind, options);
    }

    switch (report.Outcome) {
    case TLoadOutcome::Ok:
        if (kind == FileKind::FormSheetFile)
            doc.Settings.FormSheetFolder = folderOf(fileName);
        else
            doc.Settings.DocumentFolder = folderOf(fileName);
        if (isDocument && doc.Settings.BackupOnOpen && !options.AsTemplate)
            // A failed copy does not fail the open.
            writeFileSafely(BackupFileName(fileName), false, [&](TStreamWriter& w) {
                w.WriteBytes(data);
                return true;
            });
        return true;
    case TLoadOutcome::CannotRead:
        showLoadError(doc, cannotReadText(fileName), TPromptIcon::Error);
        break;
    case TLoadOutcome::NotKavro:
        showLoadError(doc,
                      quoted(QFileInfo(fileName).fileName()) + QLatin1Char(' ') + GetMessage(5005),
                      TPromptIcon::Error);
        break;
    case TLoadOutcome::NewerVersion:
        showLoadError(doc, newerVersionText(fileName, report.Version), TPromptIcon::Error,
                      QStringLiteral("\u00D6ffnen"));
        break;
    case TLoadOutcome::Damaged: {
        const int n = report.SheetsRead, m = report.SheetsStored;
        const bool analysis = hasSheets && (report.Stage == TDamageStage::Sheets ||
                                            report.Stage == TDamageStage::Trailer);
        if (!analysis || n == 0 || m > kMaxRepairableSheets) {
            showLoadError(doc, DamagedFileText(path), TPromptIcon::Warning);
            if (kind == FileKind::SheetFile) {
                // The sheet of the failing record is gone already; sheets read before it stay
                // only when the analysis would have kept them.
                if (analysis && n > 0)
                    for (int i = 0; i < n; ++i) doc.RemoveSheet(doc.SheetCount() - 1);
                if (doc.SheetCount() > 0) doc.ShowSheet(doc.SheetCount() - 1);
                return false;
            }
            break;
        }
        if (doc.Host) doc.Host->LoadErrorShowing();
        const TPromptResult answer = Prompts().Message(RepairOfferText(path, n, m),
                                                       TPromptIcon::Warning, TPromptButtons::OkCancel);
        if (kind == FileKind::SheetFile) {
            // The readable sheets of a sheet file simply stay appended; nothing else changes.
            if (answer != TPromptResult::Ok)
                for (int i = 0; i < n; ++i) doc.RemoveSheet(doc.SheetCount() - 1);
            else
                doc.Modified = true;
            if (doc.SheetCount() > 0) doc.ShowSheet(doc.SheetCount() - 1);
            return false;
        }
        if (answer != TPromptResult::Ok) break;
        const QString recovery = RecoveryFileName(path);
        if (!SaveDocumentFile(doc, recovery, FileKind::Document)) {
            // The reconstructed sheets stay in memory, untitled, for the user to save elsewhere.
            doc.FileName.clear();
            doc.Modified = true;
            return false;
        }
        doc.DeleteAllSheets();
        doc.FileName = recovery;
        TLoadOptions reopen = options;
        reopen.AsTemplate = true; // the recovery file needs no backup copy of its own
        TLoadReport second;
        const bool ok = LoadDocumentFile(doc, recovery, FileKind::Document, reopen, &second);
        report.RecoveryFile = recovery;
        return ok;
    }
    }

    // A failed load.
    if (kind == FileKind::FormSheetFile) {
        if (options.ApplyingDefaultFormSheet) doc.Settings.DefaultFormSheet.clear();
    } else if (isDocument) {
        resetToNewSheet(doc);
    } else if (kind == FileKind::SheetFile && report.Outcome != TLoadOutcome::CannotRead) {
        doc.CreateSheet(false);
    }
    return false;
}
