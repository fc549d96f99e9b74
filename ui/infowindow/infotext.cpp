#include "infowindow/infotext.h"

#include <array>

namespace {

// Blanks at the end of a line and double blanks inside one belong to the text.
constexpr std::array<const char*, 35> lines = {
    "Quintaral  trabaja con el metodo de la Resistencia Ultima , ",
    "tambien llamado  solamente metodo de la Resistencia, el ",
    "diseñador podra estudiar el comportamiento de la estructura ",
    "en el instante de falla, por lo tanto, si este instante se hace lo ",
    "suficientemente mayor que el  de su trabajo para las cargas que ",
    "soporta normalment, se podra tener un diseño con factores de  ",
    "seguridad apropiados. ",
    "------------------------------------------------------------------------------------------"
    "------------",
    "",
    "",
    "Quintaral ha  sido diseñado en C++ con la biblioteca Qt, para el sistema ",
    "operativo Windows 95/98/2000/Me/XP.",
    "",
    "Equipo de desarrollo de Quintaral",
    "Ingeniería estructural y software",
    "Correo: quintaral@example.org",
    "Web: https://quintaral.example.org",
    "           ",
    "No me hago responsable de la utilización que pueda hacer de ",
    "este programa.",
    "",
    "Si encuentra algún fallo en los resultados obtenidos, le ",
    "agradecería que lo comunique a través del anterior correo ",
    "electronico.",
    "",
    "Para cualquier duda, pedido o sugerencia no repare en ",
    "contactar con el autor de <Quintaral>:",
    "",
    "--------------------------------------------------------------------------------------",
    "Equipo de desarrollo de Quintaral",
    "Ingeniería estructural y software",
    "Correo: quintaral@example.org",
    "Teléfonos: +57 1 555 0100 / +57 1 555 0101",
    "Bogotá, Colombia",
    "--------------------------------------------------------------------------------------",
};

}  // namespace

QString informationText() {
    QString text;
    for (const char* line : lines) text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text;
}
