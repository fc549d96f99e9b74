#include "engine/beam/refusal.h"

#include <cmath>
#include <string>

#include "engine/beam/checktext.h"
#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"
#include "engine/layout/bartext.h"

namespace engine::beam {

namespace {

std::string number(int n) {
    return std::to_string(n);
}

std::string spanName(int span) {
    return "Vano " + number(span + 1);
}

std::string regionName(const Refusal& r) {
    if (!r.atSupport) return spanName(r.span) + ", barras inferiores";
    return "Apoyo " + number(r.support + 1) +
           (r.topFace ? ", barras superiores" : ", barras inferiores");
}

// The width b (whole cm, wider than the beam's) at which `contCount` N° `contBar` and `count` N°
// `bar` fit the layers allowed, the continuous bars in the first; 0 when none up to 2 m does.
double widthToFit(const Beam& beam, int contCount, int contBar, int count, int bar) {
    const LayoutSettings& settings = beam.in.settings;
    const Bar* cont = findBar(contBar);
    const Bar* extra = findBar(bar);
    if (cont == nullptr || (count > 0 && extra == nullptr)) return 0;
    const double seats = beam.in.b - beam.available;
    for (double b = std::floor(beam.in.b) + 1; b <= 200; b += 1) {
        const double available = b - seats;
        if (layerWidth(settings, Layer{{contCount, cont}}) > available + tiny) continue;
        int room = 0;
        while (room < count && layerWidth(settings, Layer{{contCount, cont}, {room + 1, extra}}) <=
                                   available + tiny)
            ++room;
        const int second = count - room;
        if (second == 0 || (settings.maxTensionLayers >= 2 &&
                            layerWidth(settings, Layer{{second, extra}}) <= available + tiny))
            return b;
    }
    return 0;
}

// "; aumente b a 41 cm", or "; aumente b" when no width up to 2 m fits them.
std::string widerBeam(const Beam& beam, const Refusal& r) {
    const double b = widthToFit(beam, r.contCount, r.contBar, r.count, r.bar);
    return b > 0 ? "; aumente b a " + number(static_cast<int>(b)) + " cm" : "; aumente b";
}

// DES, an interior support that only the smaller bars may cross: the largest of them, and the
// two ways out, a wider support for the next size or a wider beam for these bars.
Phrase throughSupport(const Beam& beam, const Refusal& r, const std::string& bars) {
    const Bar* through = findBar(r.throughBar);
    const double width = beam.supportWidth(r.support);
    Phrase p;
    p << "Apoyo " + number(r.support + 1) + " de " << Figure{width, 0} << " cm"
      << (r.topFace ? ", barras superiores" : ", barras inferiores")
      << ": en DES cruzan barras de hasta N° " + number(r.throughBar) + " ("
      << number(supportBarDiameters) + " db = "
      << Figure{supportBarDiameters * through->diameterCm(), 1} << " ≤ " << Figure{width, 0}
      << " cm); " << bars << " en b = " << Figure{beam.in.b, 0} << " cm: ";
    const auto next = std::find_if(beam.sizes.begin(), beam.sizes.end(),
                                   [&](const Bar* b) { return b->designation > r.throughBar; });
    if (next != beam.sizes.end()) {
        p << "apoyo de " << Figure{std::ceil(supportBarDiameters * (*next)->diameterCm() - tiny), 0}
          << " cm para N° " + number((*next)->designation) + ", o ";
    }
    const double b = widthToFit(beam, r.contCount, r.contBar, r.count, r.bar);
    if (b > 0)
        p << "b de " << Figure{b, 0} << " cm";
    else
        p << "aumente b";
    return p;
}

}  // namespace

Phrase refusalText(const Beam& beam, const Refusal& r) {
    const std::string layers = number(beam.in.settings.maxTensionLayers);
    const std::string bars = barCountText(r.contCount, r.contBar) + " y " +
                             barCountText(r.count, r.bar) + " no caben en " + layers + " capas";
    Phrase p;
    switch (r.why) {
        case Refusal::Why::None:
            break;
        case Refusal::Why::NotDeveloped:
            p << regionName(r) << ": no alcanzan a desarrollarse en el espacio disponible";
            break;
        case Refusal::Why::NoRoom:
            if (r.throughBar > 0 && findBar(r.throughBar) != nullptr) {
                p << throughSupport(beam, r, bars);
                return p;
            }
            p << regionName(r) << ": " << bars << widerBeam(beam, r);
            break;
        case Refusal::Why::RatioAbove:
            p << regionName(r) << ": ρ = " << ratioFigure(r.ratio) << " > "
              << Figure{rhoLimit, 3} << " con las barras comerciales; aumente b o h";
            break;
        case Refusal::Why::NoInflection:
            p << regionName(r) << ": el momento negativo no se anula en el "
              << spanName(r.inflectionSpan)
              << " y las barras continuas son menos de un tercio del acero superior de la cara";
            break;
        case Refusal::Why::NotTwiceArea:
            p << regionName(r)
              << ": las barras continuas no dan el doble del área requerida donde podrían "
                 "cortarse las adicionales";
            break;
        case Refusal::Why::TooLong:
            p << regionName(r) << ": las barras adicionales exceden la longitud comercial de "
              << Figure{beam.in.stockLength, 2} << " m";
            break;
        case Refusal::Why::NoRoomBesideLaps:
            p << regionName(r) << ": " << bars << " junto a los traslapos" << widerBeam(beam, r);
            break;
        case Refusal::Why::MergedBarNotAllowed:
            if (r.topFace)
                p << "Apoyos " + number(r.region + 1) + " y " + number(r.region + 2) +
                         ", barras superiores";
            else
                p << spanName(r.region / 2) << ", barras inferiores";
            p << ": las adicionales se juntan y su barra no cabe 20 db en un apoyo que cruzan "
                 "ni desarrolla su gancho en uno exterior";
            break;
        case Refusal::Why::MergedDoNotFit:
            if (r.topFace)
                p << "Apoyos " + number(r.region + 1) + " y " + number(r.region + 2) +
                         ", barras superiores: las adicionales se juntan y no caben o exceden "
                         "la longitud comercial";
            else
                p << spanName(r.region / 2)
                  << ", barras inferiores: las adicionales del vano y las del apoyo se juntan y "
                     "no caben o exceden la longitud comercial; aumente b";
            break;
        case Refusal::Why::Crowded:
            p << placePhrase(pointPlace(beam.points[beam.pointAt(r.crowdedAt)]))
              << (r.topFace ? ", barras superiores: " : ", barras inferiores: ")
              << barCountText(r.contCount, r.contBar)
              << " continuas y las adicionales no caben juntas en " << layers << " capas"
              << widerBeam(beam, r);
            break;
        case Refusal::Why::TwoBarsDoNotFit: {
            // Lapped bars are tied in contact: each pair takes two diameters.
            const Bar* bar = findBar(r.contBar);
            const double width = layerWidth(beam.in.settings, Layer{{2, bar}}) +
                                 (r.besideLaps ? 2 * bar->diameterCm() : 0) + beam.in.b -
                                 beam.available;
            p << "Barras continuas: " << barCountText(2, r.contBar)
              << " no caben en b = " << Figure{beam.in.b, 1} << " cm"
              << (r.besideLaps ? " junto a sus traslapos" : "") << "; aumente b a "
              << Figure{std::ceil(width - tiny), 0} << " cm";
            if (r.contBar > 3) p << " o use barras menores";
            break;
        }
        case Refusal::Why::NoLapPlace:
            p << "Barras continuas N° " + number(r.contBar)
              << ": no hay dónde traslaparlas dentro de la longitud comercial de "
              << Figure{beam.in.stockLength, 2} << " m";
            break;
    }
    if (r.hookBar > 0) {
        p << "; el gancho del N° " + number(r.hookBar) +
                 " y mayores no se desarrolla en el apoyo " + number(r.support + 1) + " (ldh = "
          << Figure{r.hookLdh, 1} << " cm > " << Figure{r.hookRoom, 1} << " cm)";
        if (r.hookSupport > 0)
            p << "; un apoyo de al menos " << Figure{r.hookSupport, 0} << " cm lo desarrolla";
    }
    return p;
}

}  // namespace engine::beam
