// Writes the hand-built 3-span beam as DXF for the read-back check (or, with a third argument
// "designed", the same beam as the design engine details it; with "two", the fixture twice, as
// V-201 and V-202, in one drawing), with the schedule beside it ("mark length-in-cm" a line),
// and checks that a write that cannot happen leaves no file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

#include "beamfixture.h"
#include "dxf/beamdxf.h"
#include "engine/beam/checktext.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: write_fixture_dxf OUT.dxf EXPECTED.txt [designed]\n");
        return 1;
    }
    auto [input, design] = beamfixture::threeSpans();
    const bool twoBeams = argc == 4 && std::string(argv[3]) == "two";
    if (argc == 4 && !twoBeams) {
        const auto outcome = engine::beam::designBeam(input);
        if (const auto* failure = std::get_if<engine::beam::BeamError>(&outcome)) {
            std::fprintf(stderr, "%s\n", engine::beam::errorText(*failure, '.').c_str());
            return 1;
        }
        design = std::get<engine::beam::BeamDesign>(outcome);
    }
    input.name = "V-201";
    input.axis = "Eje B";
    input.level = "Piso 2";
    std::string error;
    if (twoBeams) {
        engine::beam::BeamInput second = input;
        second.name = "V-202";
        error = dxfexport::writeBeamsDxf(argv[1], {{design, input}, {design, second}}, '.',
                                         {"Edificio Quintas", "2026-12-07", ""});
    } else {
        error = dxfexport::writeBeamDxf(argv[1], design, input, '.',
                                        {"Edificio Quintas", "2026-12-07", "1 de 1"});
    }
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::ofstream expected(argv[2]);
    for (const auto& m : design.bars) expected << m.mark << ' ' << m.length * 100 << '\n';
    // The hoops the elevation draws, one line each.
    int hoops = 0;
    for (const auto& zone : design.zones)
        if (zone.mark.starts_with('E')) hoops += zone.count;
    expected << "#hoops " << hoops << '\n';

    // A folder that does not exist, and a target that is a folder: a message, and no file.
    const std::filesystem::path folder = std::filesystem::path(argv[1]).parent_path();
    const std::string missing = (folder / "no-existe" / "viga.dxf").string();
    if (dxfexport::writeBeamDxf(missing, design, input).empty() ||
        std::filesystem::exists(missing)) {
        std::fprintf(stderr, "writing into a missing folder did not fail cleanly\n");
        return 1;
    }
    if (dxfexport::writeBeamDxf(folder.string(), design, input).empty()) {
        std::fprintf(stderr, "writing onto a folder did not fail\n");
        return 1;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".tmp") {
            std::fprintf(stderr, "temporary file left: %s\n", entry.path().c_str());
            return 1;
        }
    return 0;
}
