#include "dxf/beamdxf.h"

#include <dl_dxf.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

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

}  // namespace

std::string writeBeamDxf(const std::string& path, const engine::beam::BeamDesign& design,
                         const engine::beam::BeamInput& input, char decimalSeparator) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const std::string cannot = "No se pudo escribir el archivo DXF «" + path + "»";
    if (path.empty() || target.filename().empty()) return cannot + ": falta el nombre del archivo.";
    std::error_code error;
    if (fs::is_directory(target, error)) return cannot + ": es una carpeta.";
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error)) return cannot + ": la carpeta no existe.";
    const fs::path temporary = folder / ("." + target.filename().string() + ".tmp");

    const dr::Drawing drawing = dr::cadSheet(design, input, decimalSeparator);
    {
        DL_Dxf dxf;
        std::unique_ptr<DL_WriterA> dw(dxf.out(temporary.c_str(), DL_Codes::AC1015));
        if (!dw || dw->openFailed()) {
            fs::remove(temporary, error);
            return cannot + ": no hay permiso para escribir en esa carpeta o el disco está lleno.";
        }
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
        dxf.writeObjects(*dw);
        dxf.writeObjectsEnd(*dw);
        dw->dxfEOF();
        dw->close();
    }
    if (!complete(temporary)) {
        fs::remove(temporary, error);
        return cannot + ": la escritura no se completó (¿disco lleno?).";
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return cannot + ": no se pudo reemplazar el archivo.";
    }
    return {};
}

}  // namespace dxfexport
