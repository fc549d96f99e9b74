#include "engine/beam/refusal.h"

#include <string>

#include "engine/beam/checktext.h"
#include "engine/beam/rules.h"
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
            p << regionName(r) << ": " << bars << "; aumente b";
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
            p << regionName(r) << ": " << bars << " junto a los traslapos; aumente b";
            break;
        case Refusal::Why::MergedBarNotAllowed:
            p << (r.topFace ? "Barras superiores" : "Barras inferiores")
              << ": las adicionales se juntan y su barra no cabe 20 db en un apoyo que cruzan "
                 "ni desarrolla su gancho";
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
              << ", barras inferiores: " << barCountText(r.contCount, r.contBar)
              << " continuas y las adicionales no caben juntas en " << layers
              << " capas; aumente b";
            break;
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
