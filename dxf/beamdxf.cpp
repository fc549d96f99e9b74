#include "dxf/beamdxf.h"

#include <dl_dxf.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/drawing/beamdrawing.h"

namespace dxfexport {
namespace {

namespace dr = engine::drawing;

// The layers and their AutoCAD colour numbers: concrete white/black, bars red, stirrups blue,
// dimensions green, texts white/black, hatching grey.
struct LayerStyle {
    dr::Layer layer;
    int colour;
};
constexpr LayerStyle layerStyles[] = {
    {dr::Layer::Concrete, 7}, {dr::Layer::Reinforcement, 1}, {dr::Layer::Stirrups, 5},
    {dr::Layer::Dimensions, 3}, {dr::Layer::Text, 7},         {dr::Layer::Hatch, 8}};

DL_Attributes attributes(dr::Layer layer) {
    return DL_Attributes(dr::layerName(layer), 256, -1, "BYLAYER", 1.0);
}

// DXF text of this version is in the drawing's code page, ANSI_1252: the Latin-1 letters and
// signs ("N°", "×", "ñ") are written as its bytes; any other character travels as \U+XXXX,
// which CAD programs show as the character.
std::string dxfText(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
        unsigned code = c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (code >= 0xA0 && code <= 0xFF) {
            out += static_cast<char>(code);
            i += extra + 1;
            continue;
        }
        char escaped[12];
        std::snprintf(escaped, sizeof escaped, "\\U+%04X", code);
        out += escaped;
        i += extra + 1;
    }
    return out;
}

// The text style every text and dimension uses: a single-stroke font whose height each text
// gives (sized for plotting at 1:50).
constexpr const char* textStyle = "QUINTARAL";

// The name of the block that holds the lines and text of the n-th dimension.
std::string dimensionBlock(std::size_t n) {
    return "*D" + std::to_string(n + 1);
}

// The dimension style: text above the line in the text style, 45° ticks instead of arrows,
// extension lines past the dimension line, the decimal separator given; the texts themselves
// are written with each dimension (as the other outputs show them). Written both as the
// drawing's defaults in the header (which some programs read) and as the "Standard" style.
struct DimensionVariable {
    const char* name;
    int code;
    double factor;  // of the text height; a negative factor: the value itself
    double value;
};
std::vector<DimensionVariable> dimensionVariables() {
    return {{"$DIMSCALE", 40, -1, 1.0},  {"$DIMASZ", 41, 0.5, 0},  {"$DIMEXO", 42, -1, 0.0},
            {"$DIMEXE", 44, 0.3, 0},     {"$DIMTXT", 140, 1, 0},   {"$DIMTSZ", 142, 0.3, 0},
            {"$DIMLFAC", 144, -1, 0.01}, {"$DIMGAP", 147, 0.25, 0}};
}
double variableValue(const DimensionVariable& v, double textHeight) {
    return v.factor < 0 ? v.value : v.factor * textHeight;
}

void writeDimensionHeader(DL_WriterA& dw, double textHeight, char separator) {
    for (const DimensionVariable& v : dimensionVariables()) {
        dw.dxfString(9, v.name);
        dw.dxfReal(40, variableValue(v, textHeight));
    }
    for (const auto& [name, value] :
         {std::pair{"$DIMTAD", 1}, {"$DIMTIH", 0}, {"$DIMTOH", 0}, {"$DIMDEC", 2},
          {"$DIMDSEP", static_cast<int>(separator)}}) {
        dw.dxfString(9, name);
        dw.dxfInt(70, value);
    }
    dw.dxfString(9, "$DIMTXSTY");
    dw.dxfString(7, textStyle);
    dw.dxfString(9, "$TEXTSTYLE");
    dw.dxfString(7, textStyle);
}

void writeDimensionStyle(DL_WriterA& dw, unsigned long styleHandle, double textHeight,
                         char separator) {
    dw.dxfString(0, "TABLE");
    dw.dxfString(2, "DIMSTYLE");
    dw.dxfHex(5, 0xA);
    dw.dxfString(100, "AcDbSymbolTable");
    dw.dxfInt(70, 1);
    dw.dxfString(100, "AcDbDimStyleTable");
    dw.dxfInt(71, 0);
    dw.dxfString(0, "DIMSTYLE");
    dw.handle(105);
    dw.dxfString(100, "AcDbSymbolTableRecord");
    dw.dxfString(100, "AcDbDimStyleTableRecord");
    dw.dxfString(2, "Standard");
    dw.dxfInt(70, 0);
    for (const DimensionVariable& v : dimensionVariables())
        dw.dxfReal(v.code, variableValue(v, textHeight));
    dw.dxfInt(73, 0);   // DIMTIH
    dw.dxfInt(74, 0);   // DIMTOH
    dw.dxfInt(77, 1);   // DIMTAD: above the line
    dw.dxfInt(271, 2);  // DIMDEC
    dw.dxfInt(278, separator);
    dw.dxfHex(340, static_cast<int>(styleHandle));  // DIMTXSTY
    dw.dxfString(0, "ENDTAB");
}

// The height of the dimensions' texts (all alike in a drawing).
double dimensionTextHeight(const dr::Drawing& drawing) {
    return drawing.dimensions.empty() ? 12.5 : drawing.dimensions.front().textHeight;
}

void writeTables(DL_Dxf& dxf, DL_WriterA& dw, const dr::Drawing& drawing, char separator) {
    dw.sectionTables();
    dxf.writeVPort(dw);
    dw.tableLinetypes(3);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw.tableEnd();
    dw.tableLayers(static_cast<int>(std::size(layerStyles)) + 1);
    dxf.writeLayer(dw, DL_LayerData("0", 0), DL_Attributes("", 7, -1, "CONTINUOUS", 1.0));
    for (const LayerStyle& style : layerStyles)
        dxf.writeLayer(dw, DL_LayerData(dr::layerName(style.layer), 0),
                       DL_Attributes("", style.colour, -1, "CONTINUOUS", 1.0));
    dw.tableEnd();
    dw.tableStyle(2);
    dxf.writeStyle(dw, DL_StyleData("standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    const unsigned long styleHandle = dw.getNextHandle();
    dxf.writeStyle(dw, DL_StyleData(textStyle, 0, 0.0, 1.0, 0.0, 0, 12.5, "romans.shx", ""));
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    writeDimensionStyle(dw, styleHandle, dimensionTextHeight(drawing), separator);
    dxf.writeBlockRecord(dw);
    for (std::size_t n = 0; n < drawing.dimensions.size(); ++n)
        dxf.writeBlockRecord(dw, dimensionBlock(n));
    dw.tableEnd();
    dw.sectionEnd();
}

void writeText(DL_Dxf& dxf, DL_WriterA& dw, const dr::Text& text) {
    const int horizontal = text.align == dr::Align::Left     ? 0
                           : text.align == dr::Align::Centre ? 1
                                                             : 2;
    dxf.writeText(dw,
                  DL_TextData(text.at.x, text.at.y, 0, text.at.x, text.at.y, 0, text.height, 1.0,
                              0, horizontal, 0, dxfText(text.text), textStyle, 0.0),
                  attributes(text.layer));
}

void writeLines(DL_Dxf& dxf, DL_WriterA& dw, const std::vector<dr::Polyline>& lines) {
    for (const dr::Polyline& line : lines) {
        dxf.writePolyline(dw,
                          DL_PolylineData(static_cast<int>(line.points.size()), 0, 0,
                                          line.closed ? 1 : 0),
                          attributes(line.layer));
        for (const dr::Point& p : line.points) dxf.writeVertex(dw, DL_VertexData(p.x, p.y, 0, 0));
        dxf.writePolylineEnd(dw);
    }
}

// The blocks of model and paper space, and one per dimension with the lines and text it is
// drawn with, which CAD programs show and may regenerate from the dimension's own points.
void writeBlocks(DL_Dxf& dxf, DL_WriterA& dw, const dr::Drawing& drawing) {
    dw.sectionBlocks();
    for (const char* name : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(dw, DL_BlockData(name, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(dw, name);
    }
    for (std::size_t n = 0; n < drawing.dimensions.size(); ++n) {
        const std::string name = dimensionBlock(n);
        dxf.writeBlock(dw, DL_BlockData(name, 1, 0.0, 0.0, 0.0));
        const dr::Drawing parts = dr::explode(drawing.dimensions[n]);
        writeLines(dxf, dw, parts.lines);
        for (const dr::Text& text : parts.texts) writeText(dxf, dw, text);
        dxf.writeEndBlock(dw, name);
    }
    dw.sectionEnd();
}

// A linear dimension, horizontal or vertical, with its block and its text as written.
void writeDimension(DL_WriterA& dw, const dr::Dimension& dimension, const std::string& block) {
    const dr::Drawing parts = dr::explode(dimension);
    const dr::Point textAt = parts.texts.empty() ? dimension.from : parts.texts.front().at;
    const double middle = parts.texts.empty() ? 0 : 0.5 * parts.texts.front().height;
    // The definition point lies on the dimension line, above (or beside) the second point.
    const dr::Point onLine = dimension.vertical ? dr::Point{dimension.lineAt, dimension.to.y}
                                                : dr::Point{dimension.to.x, dimension.lineAt};
    dw.dxfString(0, "DIMENSION");
    dw.handle();
    dw.dxfString(100, "AcDbEntity");
    dw.dxfString(8, dr::layerName(dimension.layer));
    dw.dxfString(100, "AcDbDimension");
    dw.dxfString(2, block);
    dw.dxfReal(10, onLine.x);
    dw.dxfReal(20, onLine.y);
    dw.dxfReal(30, 0.0);
    dw.dxfReal(11, dimension.vertical
                       ? textAt.x - dr::textWidth(dimension.text, dimension.textHeight) / 2
                       : textAt.x);
    dw.dxfReal(21, textAt.y + middle);
    dw.dxfReal(31, 0.0);
    dw.dxfInt(70, 32 + 128);  // rotated; the block belongs to this dimension; text placed
    dw.dxfInt(71, 5);         // middle centre
    dw.dxfString(1, dxfText(dimension.text));
    dw.dxfString(3, "Standard");
    dw.dxfString(100, "AcDbAlignedDimension");
    dw.dxfReal(13, dimension.from.x);
    dw.dxfReal(23, dimension.from.y);
    dw.dxfReal(33, 0.0);
    dw.dxfReal(14, dimension.to.x);
    dw.dxfReal(24, dimension.to.y);
    dw.dxfReal(34, 0.0);
    dw.dxfReal(50, dimension.vertical ? 90.0 : 0.0);
    dw.dxfString(100, "AcDbRotatedDimension");
}

void writeEntities(DL_Dxf& dxf, DL_WriterA& dw, const dr::Drawing& drawing) {
    dw.sectionEntities();
    for (const dr::Hatch& hatch : drawing.hatches) {
        const DL_HatchData data(1, false, 2.0, 0.0, "ANSI31");
        const DL_Attributes attrib = attributes(hatch.layer);
        dxf.writeHatch1(dw, data, attrib);
        const int edges = static_cast<int>(hatch.boundary.size());
        dxf.writeHatchLoop1(dw, DL_HatchLoopData(edges));
        for (int i = 0; i < edges; ++i) {
            const dr::Point& a = hatch.boundary[i];
            const dr::Point& b = hatch.boundary[(i + 1) % edges];
            dxf.writeHatchEdge(dw, DL_HatchEdgeData(a.x, a.y, b.x, b.y));
        }
        dxf.writeHatchLoop2(dw, DL_HatchLoopData(edges));
        dxf.writeHatch2(dw, data, attrib);
    }
    writeLines(dxf, dw, drawing.lines);
    for (const dr::Circle& circle : drawing.circles)
        dxf.writeCircle(dw, DL_CircleData(circle.centre.x, circle.centre.y, 0, circle.radius),
                        attributes(circle.layer));
    for (const dr::Text& text : drawing.texts) writeText(dxf, dw, text);
    for (std::size_t n = 0; n < drawing.dimensions.size(); ++n)
        writeDimension(dw, drawing.dimensions[n], dimensionBlock(n));
    dw.sectionEnd();
}

// The objects section: the root dictionary, the (empty) groups and the layouts of model and
// paper space, each with its owner, so that CAD programs read the file without repairing it.
// The handles are those the tables above give the block records (*Model_Space 1F, *Paper_Space
// 1B, *Paper_Space0 23) and their layouts (22, 1E, 26).
void writeObjects(DL_WriterA& dw) {
    struct Entry {
        const char* name;
        int handle;
    };
    auto dictionary = [&](int handle, int owner, std::initializer_list<Entry> entries) {
        dw.dxfString(0, "DICTIONARY");
        dw.dxfHex(5, handle);
        dw.dxfHex(330, owner);
        dw.dxfString(100, "AcDbDictionary");
        dw.dxfInt(281, 1);
        for (const Entry& e : entries) {
            dw.dxfString(3, e.name);
            dw.dxfHex(350, e.handle);
        }
    };
    constexpr int root = 0xC, groups = 0xD, layouts = 0x1A;
    dw.sectionObjects();
    dictionary(root, 0, {{"ACAD_GROUP", groups}, {"ACAD_LAYOUT", layouts}});
    dictionary(groups, root, {});
    dictionary(layouts, root, {{"Layout1", 0x1E}, {"Layout2", 0x26}, {"Model", 0x22}});
    struct Layout {
        const char* name;
        int handle, tab, blockRecord;
    };
    for (const Layout& l : {Layout{"Layout1", 0x1E, 1, 0x1B}, Layout{"Layout2", 0x26, 2, 0x23},
                            Layout{"Model", 0x22, 0, 0x1F}}) {
        dw.dxfString(0, "LAYOUT");
        dw.dxfHex(5, l.handle);
        dw.dxfHex(330, layouts);
        dw.dxfString(100, "AcDbPlotSettings");
        dw.dxfString(1, "");
        dw.dxfString(100, "AcDbLayout");
        dw.dxfString(1, l.name);
        dw.dxfInt(70, 1);
        dw.dxfInt(71, l.tab);
        dw.dxfHex(330, l.blockRecord);
    }
    dw.sectionEnd();
}

// The file ends with the end-of-file marker only when every part of it was written.
bool complete(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 8) return false;
    in.seekg(size - 8);
    std::string tail(8, '\0');
    in.read(tail.data(), 8);
    return in.good() && tail.find("EOF") != std::string::npos;
}

// Writes the whole drawing at `path`; false when the file cannot be opened.
bool writeDrawing(const std::string& path, const dr::Drawing& drawing, char separator) {
    DL_Dxf dxf;
    std::unique_ptr<DL_WriterA> dw(dxf.out(path.c_str(), DL_Codes::AC1015));
    if (!dw || dw->openFailed()) return false;
    dxf.writeHeader(*dw);
    dw->dxfString(9, "$INSUNITS");
    dw->dxfInt(70, 5);  // centimetres
    dw->dxfString(9, "$DWGCODEPAGE");
    dw->dxfString(3, "ANSI_1252");
    dw->dxfString(9, "$MEASUREMENT");
    dw->dxfInt(70, 1);  // metric
    writeDimensionHeader(*dw, dimensionTextHeight(drawing), separator);
    dw->sectionEnd();
    writeTables(dxf, *dw, drawing, separator);
    writeBlocks(dxf, *dw, drawing);
    writeEntities(dxf, *dw, drawing);
    writeObjects(*dw);
    dw->dxfEOF();
    dw->close();
    return true;
}

// The temporary file being written, removed if a signal ends the program before it is renamed
// over the target: an interrupted export leaves the old drawing, or none. A fixed buffer: the
// handler may only call async-signal-safe functions.
char pendingFile[4096] = {};

extern "C" void removePendingDxfAndStop(int signal) {
    if (pendingFile[0] != '\0') unlink(pendingFile);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The handlers of the signals that end a program, replaced while a temporary file exists and
// restored after.
class PendingFileGuard {
  public:
    PendingFileGuard() {
        for (std::size_t k = 0; k < std::size(signals); ++k)
            previous[k] = std::signal(signals[k], removePendingDxfAndStop);
    }
    ~PendingFileGuard() {
        pendingFile[0] = '\0';
        for (std::size_t k = 0; k < std::size(signals); ++k) std::signal(signals[k], previous[k]);
    }
    PendingFileGuard(const PendingFileGuard&) = delete;
    PendingFileGuard& operator=(const PendingFileGuard&) = delete;

  private:
    static constexpr int signals[] = {SIGINT, SIGTERM, SIGHUP};
    void (*previous[std::size(signals)])(int) = {};
};


// Writes `drawing` at `path` safely, as writeBeamDxf says.
std::string writeDrawingSafely(const std::string& path, const dr::Drawing& drawing,
                               char decimalSeparator) {
    namespace fs = std::filesystem;
    const std::string cannot = "No se pudo escribir el archivo DXF «" + path + "»";
    if (path.empty() || fs::path(path).filename().empty())
        return cannot + ": falta el nombre del archivo.";
    std::error_code error;
    // Through a symbolic link the file it points to is replaced, not the link.
    const fs::path target = fs::is_symlink(fs::path(path), error)
                                ? fs::weakly_canonical(fs::path(path), error)
                                : fs::path(path);
    const fs::file_status status = fs::status(target, error);
    if (fs::is_directory(status)) return cannot + ": es una carpeta.";
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error)) return cannot + ": la carpeta no existe.";
    const std::string noRoom =
        cannot + ": no hay permiso para escribir en esa carpeta o el disco está lleno.";

    // A device or a pipe is written as it is: there is no file to replace.
    if (fs::exists(status) && !fs::is_regular_file(status))
        return writeDrawing(target.string(), drawing, decimalSeparator) ? std::string() : noRoom;
    // A file nobody may write is left alone, even by a user the system would let replace it.
    const bool replacing = fs::exists(status);
    if (replacing && (status.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                               fs::perms::others_write)) == fs::perms::none)
        return cannot + ": el archivo es de solo lectura.";
    if (replacing && access(target.c_str(), W_OK) != 0)
        return cannot + ": no hay permiso para modificar el archivo.";

    // The drawing goes to a new file of a name no other has (made without following links),
    // with the permissions of the file it replaces, and takes the target's name only once whole.
    const std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    if (pattern.size() >= sizeof pendingFile) return cannot + ": la ruta es demasiado larga.";
    mode_t mask = umask(0);
    umask(mask);
    const mode_t mode =
        replacing ? static_cast<mode_t>(status.permissions() & fs::perms::mask) : (0666 & ~mask);
    PendingFileGuard guard;
    std::memcpy(pendingFile, pattern.c_str(), pattern.size() + 1);
    const int descriptor = mkstemp(pendingFile);
    if (descriptor < 0) return noRoom;
    const fs::path temporary(pendingFile);
    fchmod(descriptor, mode);
    // The writer opens files by name: through the descriptor's own name, so that it writes the
    // file made above even if another took its name in the folder meanwhile.
    const bool written = writeDrawing("/proc/self/fd/" + std::to_string(descriptor), drawing,
                                      decimalSeparator);
    const bool synced = written && fsync(descriptor) == 0;
    close(descriptor);
    if (!written || !synced || !complete(temporary)) {
        fs::remove(temporary, error);
        return written ? cannot + ": la escritura no se completó (¿disco lleno?)." : noRoom;
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return cannot + ": no se pudo reemplazar el archivo.";
    }
    return {};
}

}  // namespace

std::string writeBeamDxf(const std::string& path, const engine::beam::BeamDesign& design,
                         const engine::beam::BeamInput& input, char decimalSeparator,
                         const dr::SheetInfo& info) {
    return writeDrawingSafely(path, dr::cadSheet(design, input, decimalSeparator, info),
                              decimalSeparator);
}

std::string writeBeamsDxf(const std::string& path, const std::vector<SheetBeam>& beams,
                          char decimalSeparator, const dr::SheetInfo& info) {
    const dr::TextHeights text = dr::cadTextHeights();
    const double headingHeight = 2 * text.title;
    const double gap = 12 * text.title;
    dr::Drawing drawing;
    double top = 0;
    dr::SheetInfo sheetInfo = info;
    for (std::size_t k = 0; k < beams.size(); ++k) {
        const SheetBeam& beam = beams[k];
        sheetInfo.sheet = std::to_string(k + 1) + " de " + std::to_string(beams.size());
        dr::Drawing sheet = dr::cadSheet(beam.design, beam.input, decimalSeparator, sheetInfo);
        dr::Text heading;
        heading.at = {sheet.bounds.left, sheet.bounds.top + 2 * headingHeight};
        heading.height = headingHeight;
        heading.text = beam.input.name;
        sheet.texts.push_back(heading);
        sheet.bounds.top = heading.at.y + headingHeight;
        drawing.add(sheet, -sheet.bounds.left, top - sheet.bounds.top);
        top = drawing.bounds.bottom - gap;
    }
    return writeDrawingSafely(path, drawing, decimalSeparator);
}

std::string FileNames::take(std::string_view name) {
    std::string safe;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '(' ||
                          c == ')' || c == ' ' || c == '=' || byte >= 0x80;
        safe += kept ? c : '_';
    }
    while (!safe.empty() && (safe.back() == ' ' || safe.back() == '.')) safe.pop_back();
    if (safe.empty() || safe.front() == '.' || safe.front() == ' ') safe.insert(0, "_");
    const auto folded = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    std::string chosen = safe;
    for (int n = 2; !taken_.insert(folded(chosen)).second; ++n)
        chosen = safe + " (" + std::to_string(n) + ")";
    return chosen;
}

}  // namespace dxfexport
