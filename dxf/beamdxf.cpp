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

void writeTables(DL_Dxf& dxf, DL_WriterA& dw) {
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
    dw.tableStyle(1);
    dxf.writeStyle(dw, DL_StyleData("standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, 2.5, 1.25, 0.625, 0.625, 2.5);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();

    dw.sectionBlocks();
    for (const char* name : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(dw, DL_BlockData(name, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(dw, name);
    }
    dw.sectionEnd();
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
    for (const dr::Polyline& line : drawing.lines) {
        dxf.writePolyline(dw,
                          DL_PolylineData(static_cast<int>(line.points.size()), 0, 0,
                                          line.closed ? 1 : 0),
                          attributes(line.layer));
        for (const dr::Point& p : line.points) dxf.writeVertex(dw, DL_VertexData(p.x, p.y, 0, 0));
        dxf.writePolylineEnd(dw);
    }
    for (const dr::Circle& circle : drawing.circles)
        dxf.writeCircle(dw, DL_CircleData(circle.centre.x, circle.centre.y, 0, circle.radius),
                        attributes(circle.layer));
    for (const dr::Text& text : drawing.texts) {
        const int horizontal = text.align == dr::Align::Left     ? 0
                               : text.align == dr::Align::Centre ? 1
                                                                 : 2;
        dxf.writeText(dw,
                      DL_TextData(text.at.x, text.at.y, 0, text.at.x, text.at.y, 0, text.height,
                                  1.0, 0, horizontal, 0, dxfText(text.text), "standard", 0.0),
                      attributes(text.layer));
    }
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
bool writeDrawing(const std::string& path, const dr::Drawing& drawing) {
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
    dw->sectionEnd();
    writeTables(dxf, *dw);
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

}  // namespace

std::string writeBeamDxf(const std::string& path, const engine::beam::BeamDesign& design,
                         const engine::beam::BeamInput& input, char decimalSeparator) {
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
    const dr::Drawing drawing = dr::cadSheet(design, input, decimalSeparator);
    const std::string noRoom =
        cannot + ": no hay permiso para escribir en esa carpeta o el disco está lleno.";

    // A device or a pipe is written as it is: there is no file to replace.
    if (fs::exists(status) && !fs::is_regular_file(status))
        return writeDrawing(target.string(), drawing) ? std::string() : noRoom;
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
    const bool written = writeDrawing("/proc/self/fd/" + std::to_string(descriptor), drawing);
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

}  // namespace dxfexport
