// The project-file reader on arbitrary bytes: every input either opens or gets a message that
// names the file, and whatever opens writes back to bytes that open as the same project, which
// then write back to exactly the same bytes; a beam comes back as the same beam, and a project
// written with one says the format that holds it (and its loads, shears, axis and level).

#include <cstdint>

#include "project/beamfile.h"
#include "project/projectfile.h"
#include "properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = QStringLiteral("/tmp/prueba.quintaral");
    const project::ReadResult first = project::parseProject(bytes, path);
    if (!first.project) {
        FUZZ_CHECK(first.error.startsWith(
            QStringLiteral("No se puede abrir el archivo \"prueba.quintaral\": ")));
        return 0;
    }
    FUZZ_CHECK(first.error.isEmpty());

    const QByteArray written = project::serializeProject(*first.project);
    const project::ReadResult second = project::parseProject(written, path);
    FUZZ_CHECK(second.project.has_value());
    FUZZ_CHECK(second.project->code == first.project->code);
    FUZZ_CHECK(second.project->inputs == first.project->inputs);
    FUZZ_CHECK(second.project->layout == first.project->layout);
    FUZZ_CHECK(second.project->arrangement == first.project->arrangement);
    FUZZ_CHECK(second.project->beams == first.project->beams);
    FUZZ_CHECK(project::serializeProject(*second.project) == written);
    // Beams need the format that holds them: a beam's, its loads' and shears', a list's.
    FUZZ_CHECK(second.project->source.value(QLatin1String("schemaVersion")).toInt() >=
               project::beamsSchemaVersion(first.project->beams));
    return 0;
}
