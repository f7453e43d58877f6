// Zip containers: which spreadsheet a zip holds, and workbooks that orcus
// reads as empty or without their text. Such workbooks (the usual output of
// Python's openpyxl) name their sheet part by an absolute path in the
// relationships ("/xl/worksheets/sheet1.xml"), which orcus looks up under
// "xl/" and does not find, and keep text in inline-string cells, which orcus
// skips. libgsf resolves the relationships as the packaging rules say; the
// parts are read with Qt's XML stream reader and put into an orcus document,
// which calculates the formulas that carry no stored result.
#include "Gsf.h"
#include "SheetReaders.h"

#include <QXmlStreamReader>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>

#include <string_view>
#include <vector>

namespace ecr::sheets::detail {
namespace {

namespace ss = orcus::spreadsheet;

constexpr const char* kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
constexpr const char* kRelSharedStrings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
constexpr const char* kRelStyles = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr const char* kNsRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

[[noreturn]] void unreadable(const std::string& path, const std::string& why) {
    throw ReadError(ReadError::Kind::Unreadable, path, why);
}

QByteArray bytes(const std::string& s) { return QByteArray::fromRawData(s.data(), static_cast<qsizetype>(s.size())); }

std::string text(QStringView s) { return s.toString().toStdString(); }

QStringView attr(const QXmlStreamAttributes& a, const char* name) { return a.value(QLatin1StringView(name)); }

void checkXml(const QXmlStreamReader& x, const std::string& path, const char* part) {
    if (x.hasError()) unreadable(path, std::string(part) + ": " + x.errorString().toStdString());
}

// The text of a string item (<si>, <is>; the reader is on its start): its
// <t> runs, phonetic runs left out.
std::string readStringItem(QXmlStreamReader& x) {
    std::string out;
    int depth = 1, phonetic = 0;
    while (depth > 0 && !x.atEnd()) {
        const auto token = x.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (x.name() == u"t") {
                const QString t = x.readElementText(QXmlStreamReader::IncludeChildElements);
                if (!phonetic) out += t.toStdString();
                continue;
            }
            ++depth;
            if (x.name() == u"rPh") ++phonetic;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (x.name() == u"rPh") --phonetic;
        }
    }
    return out;
}

// "BC12" as (11, 54); false when it is not a cell reference.
bool parseRef(QStringView ref, int& row, int& col) {
    qsizetype i = 0;
    long long c = 0, r = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
    if (i == 0 || i == ref.size() || c > 16384) return false;
    for (; i < ref.size(); ++i) {
        if (!ref[i].isDigit() || r > 1048576) return false;
        r = r * 10 + ref[i].digitValue();
    }
    if (r < 1) return false;
    row = static_cast<int>(r - 1);
    col = static_cast<int>(c - 1);
    return true;
}

class Package {
public:
    explicit Package(const std::string& path) : path_(path), file_(OpenFile(path)) {
        GError* err = nullptr;
        zip_.reset(GSF_INFILE(gsf_infile_zip_new(file_.get(), &err)));
        if (!zip_) unreadable(path, TakeError(err, "not a zip file"));
    }

    GsfInfile* zip() const { return zip_.get(); }

    // The workbook part and its first sheet's name and relationship id.
    void openWorkbook() {
        GError* err = nullptr;
        workbook_.reset(gsf_open_pkg_open_rel_by_type(GSF_INPUT(zip_.get()), kRelOfficeDocument, &err));
        if (!workbook_) unreadable(path_, TakeError(err, "no workbook part"));
        const std::string xml = ReadAll(workbook_.get(), path_);
        QXmlStreamReader x(bytes(xml));
        while (!x.atEnd()) {
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"sheet") {
                const auto a = x.attributes();
                sheetName_ = text(attr(a, "name"));
                sheetRelId_ = text(a.value(QString::fromLatin1(kNsRelationships), QLatin1StringView("id")));
                break;
            }
        }
        checkXml(x, path_, "workbook");
        if (sheetRelId_.empty()) unreadable(path_, "the workbook has no worksheet");
    }

    // Where the first sheet's relationship points, as written.
    std::string sheetTarget() const {
        const GsfOpenPkgRel* rel = gsf_open_pkg_lookup_rel_by_id(workbook_.get(), sheetRelId_.c_str());
        return rel ? gsf_open_pkg_rel_get_target(rel) : std::string();
    }

    std::string sheetXml() const {
        GError* err = nullptr;
        GsfPtr<GsfInput> in(gsf_open_pkg_open_rel_by_id(workbook_.get(), sheetRelId_.c_str(), &err));
        if (!in) unreadable(path_, TakeError(err, "the first worksheet's part is missing"));
        return ReadAll(in.get(), path_);
    }

    // A part of the workbook by relationship type; empty when it has none.
    std::string partXml(const char* type) const {
        GsfPtr<GsfInput> in(gsf_open_pkg_open_rel_by_type(workbook_.get(), type, nullptr));
        return in ? ReadAll(in.get(), path_) : std::string();
    }

    const std::string& sheetName() const { return sheetName_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    GsfPtr<GsfInput> file_;
    GsfPtr<GsfInfile> zip_;
    GsfPtr<GsfInput> workbook_;
    std::string sheetName_, sheetRelId_;
};

std::vector<std::string> readSharedStrings(const std::string& xml, const std::string& path) {
    std::vector<std::string> out;
    if (xml.empty()) return out;
    QXmlStreamReader x(bytes(xml));
    while (!x.atEnd())
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"si") out.push_back(readStringItem(x));
    checkXml(x, path, "shared strings");
    return out;
}

// For each cell format (the s attribute of a cell): whether it shows a date.
std::vector<bool> readDateStyles(const std::string& xml, const std::string& path) {
    std::vector<bool> out;
    if (xml.empty()) return out;
    std::vector<std::pair<int, std::string>> codes;
    QXmlStreamReader x(bytes(xml));
    bool inCellXfs = false;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            const auto a = x.attributes();
            if (x.name() == u"numFmt") {
                codes.emplace_back(attr(a, "numFmtId").toInt(), text(attr(a, "formatCode")));
            } else if (x.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (inCellXfs && x.name() == u"xf") {
                const int id = attr(a, "numFmtId").toInt();
                std::string code;
                for (const auto& [i, c] : codes)
                    if (i == id) code = c;
                out.push_back(IsDateFormat(id, code));
            }
        } else if (x.isEndElement() && x.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    checkXml(x, path, "styles");
    return out;
}

// Whether a sheet part has any cell with a value, so that an empty sheet
// read from it is known to be wrong.
bool sheetHasValues(const std::string& xml) {
    QXmlStreamReader x(bytes(xml));
    while (!x.atEnd())
        if (x.readNext() == QXmlStreamReader::StartElement && (x.name() == u"v" || x.name() == u"is")) return true;
    return false;
}

struct RawCell {
    QString type; // t attribute
    int style = 0;
    bool hasValue = false;
    QString value; // <v>
    bool hasFormula = false;
    QString formula;
    QString formulaType;
    int sharedIndex = -1;
    std::string inlineText;
    bool hasInline = false;
};

RawCell readCell(QXmlStreamReader& x) {
    RawCell c;
    const auto a = x.attributes();
    c.type = attr(a, "t").toString();
    c.style = attr(a, "s").toInt();
    while (x.readNextStartElement()) {
        if (x.name() == u"v") {
            c.hasValue = true;
            c.value = x.readElementText();
        } else if (x.name() == u"f") {
            c.hasFormula = true;
            const auto fa = x.attributes();
            c.formulaType = attr(fa, "t").toString();
            if (fa.hasAttribute(QLatin1StringView("si"))) c.sharedIndex = attr(fa, "si").toInt();
            c.formula = x.readElementText();
        } else if (x.name() == u"is") {
            c.hasInline = true;
            c.inlineText = readStringItem(x);
        } else {
            x.skipCurrentElement();
        }
    }
    return c;
}

} // namespace

std::optional<SheetFormat> ZipFormat(const std::string& path) {
    Package pkg(path);
    auto member = [&](const char* name) -> std::string {
        GsfPtr<GsfInput> in(gsf_infile_child_by_name(pkg.zip(), name));
        return in ? ReadAll(in.get(), path) : std::string();
    };
    if (member("mimetype").starts_with("application/vnd.oasis.opendocument.spreadsheet")) return SheetFormat::Ods;
    const std::string types = member("[Content_Types].xml");
    for (const char* main : {"spreadsheetml.sheet.main", "spreadsheetml.template.main", "ms-excel.sheet.macroEnabled.main",
                             "ms-excel.template.macroEnabled.main"})
        if (types.find(main) != std::string::npos) return SheetFormat::Xlsx;
    return std::nullopt;
}

ReadSheet ReadXlsxPackage(const std::string& path, Extent extent) {
    Package pkg(path);
    pkg.openWorkbook();
    const std::vector<std::string> shared = readSharedStrings(pkg.partXml(kRelSharedStrings), path);
    const std::vector<bool> dateStyles = readDateStyles(pkg.partXml(kRelStyles), path);
    const std::string xml = pkg.sheetXml();

    ss::range_size_t size{1048576, 16384};
    ss::document doc{size};
    ss::import_factory factory{doc};
    factory.set_recalc_formula_cells(true);
    ss::iface::import_sheet* sheet = factory.append_sheet(0, pkg.sheetName());
    ss::iface::import_shared_strings* strings = factory.get_shared_strings();
    if (!sheet || !strings) unreadable(path, "cannot hold the sheet");
    CellSet dates;

    auto putText = [&](int r, int c, std::string_view t) { sheet->set_string(r, c, static_cast<ss::string_id_t>(strings->add(t))); };
    QXmlStreamReader x(bytes(xml));
    int row = -1, col = -1;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement) continue;
        if (x.name() == u"row") {
            const auto a = x.attributes();
            const auto r = attr(a, "r");
            row = r.isEmpty() ? row + 1 : r.toInt() - 1;
            col = -1;
            if (row < 0 || !extent.keepsRow(row)) break;
            continue;
        }
        if (x.name() != u"c") continue;
        const auto cellAttrs = x.attributes();
        const QString ref = attr(cellAttrs, "r").toString();
        int r = row, c = col + 1;
        if (!ref.isEmpty() && !parseRef(ref, r, c)) unreadable(path, "bad cell reference " + text(ref));
        col = c;
        const RawCell cell = readCell(x);
        if (r < 0 || !extent.keepsRow(r) || !extent.keepsColumn(c)) continue;
        if (cell.style >= 0 && static_cast<std::size_t>(cell.style) < dateStyles.size() &&
            dateStyles[static_cast<std::size_t>(cell.style)])
            dates.insert({r, c});

        // Formulas are calculated again, as orcus does with the workbooks it
        // reads (the stored result may be a placeholder of the writer); the
        // stored result stays for what orcus cannot calculate.
        if (cell.hasFormula && cell.formulaType != u"array" &&
            (!cell.formula.isEmpty() || (cell.formulaType == u"shared" && cell.sharedIndex >= 0))) {
            ss::iface::import_formula* f = sheet->get_formula();
            if (!f) unreadable(path, "cannot hold formulas");
            f->set_position(r, c);
            if (!cell.formula.isEmpty()) f->set_formula(ss::formula_grammar_t::xlsx, cell.formula.toStdString());
            if (cell.formulaType == u"shared" && cell.sharedIndex >= 0)
                f->set_shared_formula_index(static_cast<std::size_t>(cell.sharedIndex));
            if (cell.hasValue && !cell.value.isEmpty()) {
                if (cell.type == u"str" || cell.type == u"e")
                    f->set_result_string(cell.value.toStdString());
                else if (cell.type == u"b")
                    f->set_result_bool(cell.value.trimmed() == u"1");
                else
                    f->set_result_value(cell.value.toDouble());
            }
            f->commit();
            continue;
        }
        if (cell.type == u"inlineStr") {
            if (cell.hasInline) putText(r, c, cell.inlineText);
        } else if (cell.type == u"s") {
            bool ok = false;
            const int i = cell.value.toInt(&ok);
            if (!ok || i < 0 || static_cast<std::size_t>(i) >= shared.size())
                unreadable(path, "cell " + text(ref) + " names a missing shared string");
            putText(r, c, shared[static_cast<std::size_t>(i)]);
        } else if (cell.type == u"str" || cell.type == u"e") {
            if (cell.hasValue) putText(r, c, cell.value.toStdString());
        } else if (cell.type == u"b") {
            if (cell.hasValue) sheet->set_bool(r, c, cell.value.trimmed() == u"1");
        } else if (cell.hasValue && !cell.value.isEmpty()) {
            bool ok = false;
            const double v = cell.value.toDouble(&ok);
            if (!ok) unreadable(path, "cell " + text(ref) + " holds " + cell.value.toStdString() + ", not a number");
            sheet->set_value(r, c, v);
        }
    }
    checkXml(x, path, "worksheet");
    try {
        factory.finalize();
    } catch (const std::exception& e) {
        unreadable(path, e.what());
    }
    ReadSheet out = SheetFromDocument(doc, dates, false, extent);
    out.format = SheetFormat::Xlsx;
    return out;
}

ReadSheet ReadXlsx(const std::string& path, Extent extent) {
    bool ownReader = false;
    std::string xml;
    {
        Package pkg(path);
        pkg.openWorkbook();
        ownReader = pkg.sheetTarget().starts_with('/');
        if (!ownReader) {
            xml = pkg.sheetXml();
            ownReader = xml.find("inlineStr") != std::string::npos;
        }
    }
    if (!ownReader) {
        ss::range_size_t size{1048576, 16384};
        ss::document doc{size};
        CellSet dates;
        LoadWithOrcus(path, SheetFormat::Xlsx, doc, dates);
        ReadSheet out = SheetFromDocument(doc, dates, true, extent);
        out.format = SheetFormat::Xlsx;
        // An empty sheet from a part that holds values is not believed.
        if (!out.rows.empty() || !sheetHasValues(xml)) return out;
    }
    return ReadXlsxPackage(path, extent);
}

} // namespace ecr::sheets::detail
