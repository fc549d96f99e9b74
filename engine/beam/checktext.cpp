#include "engine/beam/checktext.h"

#include <algorithm>

#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"
#include "engine/layout/bartext.h"
#include "engine/numbers.h"

namespace engine::beam {

namespace {

std::string number(int n) {
    return std::to_string(n);
}

const char* comparison(bool holds, const char* yes, const char* no) {
    return holds ? yes : no;
}

const char* faceWords(BeamFace face) {
    return face == BeamFace::Top ? "superior" : "inferior";
}

}  // namespace

std::string_view ruleKey(CheckRule rule) {
    switch (rule) {
        case CheckRule::Strength:
            return "resistencia";
        case CheckRule::MinimumSteel:
            return "acero-minimo";
        case CheckRule::MaximumRatio:
            return "cuantia-maxima";
        case CheckRule::FaceMoment:
            return "momento-en-cara";
        case CheckRule::SpanMoment:
            return "momento-en-vano";
        case CheckRule::ContinuousBars:
            return "barras-continuas";
        case CheckRule::ContinuousBottom:
            return "continuas-inferiores";
        case CheckRule::SpanLength:
            return "geometria-luz";
        case CheckRule::Width:
            return "geometria-ancho";
        case CheckRule::SupportWidth:
            return "apoyo-20db";
        case CheckRule::Fit:
            return "ajuste";
        case CheckRule::Lap:
            return "traslapo";
        case CheckRule::HookLength:
            return "ldh";
        case CheckRule::DeepBeam:
            return "viga-alta";
        case CheckRule::MinimumDepth:
            return "altura-minima";
        case CheckRule::TopCutOff:
            return "corte-superior";
        case CheckRule::ShearStrength:
            return "cortante";
        case CheckRule::StirrupSpacing:
            return "separacion-estribos";
        case CheckRule::MinimumStirrups:
            return "estribos-minimos";
        case CheckRule::ShearSection:
            return "limite-cortante";
        case CheckRule::ConcreteShear:
            return "vc-nulo";
        case CheckRule::FirstHoop:
            return "primer-estribo";
        case CheckRule::Crossties:
            return "ganchos-suplementarios";
        case CheckRule::CutOffShear:
            return "corte-cortante";
    }
    return "";
}

Phrase placePhrase(const Place& place) {
    Phrase p;
    switch (place.kind) {
        case Place::Kind::Beam:
            break;
        case Place::Kind::Span:
            p << "Vano " + number(place.span);
            break;
        case Place::Kind::Face:
            p << "Vano " + number(place.span) +
                     (place.side == Side::Left ? ", apoyo izquierdo" : ", apoyo derecho");
            break;
        case Place::Kind::Support:
            p << (place.support > 0 ? "Apoyo " + number(place.support) : std::string("Apoyo"));
            break;
        case Place::Kind::Point:
            p << (place.span > 0 ? "Vano " + number(place.span)
                                 : "Apoyo " + number(place.support))
              << ", x = " << Figure{place.x.value_or(0.0), 2} << " m";
            break;
    }
    return p;
}

std::string placeText(const Place& place, char decimalSeparator) {
    return placePhrase(place).text(decimalSeparator);
}

Phrase checkBody(const Check& c) {
    Phrase p;
    const bool negative = c.face == BeamFace::Top;
    switch (c.rule) {
        case CheckRule::Strength: {
            const char* sign = negative ? "−" : "+";
            p << "φMn" << sign << " = " << Figure{c.value, 2} << comparison(c.passes, " ≥ ", " < ")
              << "Mu" << sign << " = " << Figure{c.limit, 2} << " Tn-m";
            break;
        }
        case CheckRule::MinimumSteel:
            p << "As " << faceWords(c.face) << " = " << Figure{c.value, 2}
              << comparison(c.passes, " ≥ ", " < ") << "ρmín b d = " << Figure{c.limit, 2}
              << " cm²";
            break;
        case CheckRule::MaximumRatio:
            p << "ρ " << faceWords(c.face) << " = " << Figure{c.value, 4}
              << comparison(c.passes, " ≤ ", " > ") << Figure{c.limit, 3};
            break;
        case CheckRule::FaceMoment:
            p << "Mn+ = " << Figure{c.value, 2} << comparison(c.passes, " ≥ ", " < ")
              << "1/" + number(c.share) << " Mn− = " << Figure{c.limit, 2} << " Tn-m";
            break;
        case CheckRule::SpanMoment:
            p << "Mn = " << Figure{c.value, 2} << comparison(c.passes, " ≥ ", " < ")
              << "1/" + number(c.share) << " del mayor Mn en las caras = " << Figure{c.limit, 2}
              << " Tn-m";
            break;
        case CheckRule::ContinuousBars:
            p << barCountText(c.count, c.bar) + " arriba y " +
                     barCountText(c.bottomCount, c.bottomBar) +
                     " abajo corren a lo largo de toda la viga (al menos 2 en cada cara)";
            break;
        case CheckRule::ContinuousBottom:
            p << "barras inferiores continuas " << Figure{c.value, 2}
              << comparison(c.passes, " ≥ ", " < ") << "1/4 del acero inferior del vano = "
              << Figure{c.limit, 2} << " cm²";
            break;
        case CheckRule::SpanLength:
            p << "ln = " << Figure{c.value, 2} << " m" << comparison(c.passes, " ≥ ", " < ")
              << "4 d = " << Figure{c.limit, 2} << " m";
            break;
        case CheckRule::Width:
            p << "b = " << Figure{c.value, 1} << " cm" << comparison(c.passes, " ≥ ", " < ");
            if (c.desForm)
                p << "mín(" << Figure{0.3, 1} << " h, 25 cm) = " << Figure{c.limit, 1} << " cm";
            else
                p << "20 cm";
            break;
        case CheckRule::SupportWidth:
            p << "ancho " << Figure{c.value, 1} << " cm" << comparison(c.passes, " ≥ ", " < ")
              << "20 db = " << Figure{c.limit, 1} << " cm";
            break;
        case CheckRule::Fit:
            p << (negative ? "barras superiores" : "barras inferiores") << " ocupan "
              << Figure{c.value, 2} << " cm" << comparison(c.passes, " ≤ ", " > ")
              << "ancho disponible " << Figure{c.limit, 2} << " cm";
            break;
        case CheckRule::Lap:
            p << "traslapo de " + c.firstMark + " y " + c.secondMark + " (" +
                     barCountText(c.count, c.bar) + ") de "
              << Figure{c.from, 2} << " a " << Figure{c.to, 2} << " m, " << Figure{c.value, 2}
              << " m" << comparison(c.value >= c.limit - tiny, " ≥ ", " < ")
              << Figure{lapFactor, 1} << " ld = " << Figure{c.limit, 2} << " m"
              << (c.desForm ? ", a más de 2h de las caras" : "");
            break;
        case CheckRule::HookLength:
            p << "ldh del N° " + number(c.bar) + " = ";
            if (c.hookUnreduced > 0)
                p << Figure{hookCoverFactor, 1} << " × " << Figure{c.hookUnreduced, 1} << " = ";
            p << Figure{c.value, 1} << " cm" << comparison(c.passes, " ≤ ", " > ")
              << "disponible " << Figure{c.limit, 1} << " cm";
            if (c.hookUnreduced > 0) p << " (0.7: C.12.5.3)";
            if (c.remedyBar > 0 && c.remedySupport > 0)
                p << "; use barras N° " + number(c.remedyBar) + " o un apoyo de al menos "
                  << Figure{c.remedySupport, 0} << " cm";
            else if (c.remedyBar > 0)
                p << "; use barras N° " + number(c.remedyBar);
            else if (c.remedySupport > 0)
                p << "; use un apoyo de al menos " << Figure{c.remedySupport, 0} << " cm";
            break;
        case CheckRule::TopCutOff:
            p << "donde se corta " + c.firstMark + " continúan " << Figure{c.value, 2} << " cm²"
              << comparison(c.passes, " ≥ ", " < ") << "2 × " << Figure{c.limit / 2, 2}
              << " cm² requeridos";
            break;
        case CheckRule::DeepBeam:
            p << "ln = " << Figure{c.value, 2} << " m" << comparison(c.passes, " ≥ ", " < ")
              << "4 h = " << Figure{c.limit, 2} << " m"
              << (c.passes ? "" : ": viga de gran altura");
            break;
        case CheckRule::MinimumDepth: {
            const char* ends = c.count <= 0   ? "simplemente apoyado"
                               : c.count == 1 ? "un extremo continuo"
                                              : "ambos extremos continuos";
            p << "h = " << Figure{c.value, 1} << " cm" << comparison(c.passes, " ≥ ", " < ")
              << "ln/" << Figure{minimumDepthDivisor(c.count), Figure::shortest} << " = "
              << Figure{c.limit, 1} << " cm, " << ends
              << (c.passes ? "" : "; calcule las deflexiones");
            break;
        }
        case CheckRule::ShearStrength:
            p << "φVn = " << Figure{c.value, 2} << comparison(c.passes, " ≥ ", " < ") << "Vu = "
              << Figure{c.limit, 2} << " Tn";
            break;
        case CheckRule::StirrupSpacing:
            p << (c.zone == ZoneKind::Confinement ? "estribos de confinamiento"
                  : c.zone == ZoneKind::Lap       ? "estribos en los traslapos"
                                                  : "estribos fuera del confinamiento")
              << ": s = " << Figure{c.value, 0} << " cm" << comparison(c.passes, " ≤ ", " > ")
              << Figure{c.limit, 1} << " cm";
            break;
        case CheckRule::MinimumStirrups:
            p << "Av = " << Figure{c.value, 2} << comparison(c.passes, " ≥ ", " < ")
              << "Av,mín = " << Figure{c.limit, 2} << " cm² a la mayor separación";
            break;
        case CheckRule::ShearSection:
            p << "Vs = " << Figure{c.value, 2} << comparison(c.passes, " ≤ ", " > ")
              << Figure{2.1, 1} << " √f'c bw d = " << Figure{c.limit, 2} << " Tn";
            break;
        case CheckRule::ConcreteShear:
            // desForm: the seismic part governs and Vc is taken as 0 over 2h.
            p << "cortante sísmico " << Figure{c.value, 2} << (c.desForm ? " ≥ " : " < ")
              << "½ Ve = " << Figure{c.limit, 2} << " Tn: "
              << (c.desForm ? "Vc = 0 en 2h desde la cara" : "se cuenta Vc");
            break;
        case CheckRule::FirstHoop:
            p << "primer estribo a " << Figure{c.value, 1} << " cm de la cara"
              << comparison(c.passes, " ≤ ", " > ") << Figure{c.limit, 1} << " cm";
            break;
        case CheckRule::Crossties:
            p << "barras de las zonas de confinamiento a " << Figure{c.value, 1}
              << " cm libres, a lo más, de una sujeta" << comparison(c.passes, " ≤ ", " > ")
              << Figure{c.limit, 0} << " cm";
            if (c.count == 1) p << " con 1 gancho suplementario por estribo";
            if (c.count > 1) p << " con " + number(c.count) + " ganchos suplementarios por estribo";
            break;
        case CheckRule::CutOffShear:
            if (c.count == cutOffExtraStirrups) {
                p << "donde se corta " + c.firstMark + ", estribos adicionales en ¾ d: s = "
                  << Figure{c.value, 0} << " cm" << comparison(c.passes, " ≤ ", " > ")
                  << Figure{c.limit, 1} << " cm (Av + " << Figure{4.2, 1}
                  << " bw s/fyt, s ≤ d/(8 βb))";
                break;
            }
            p << "donde se corta " + c.firstMark + " Vu = " << Figure{c.value, 2}
              << comparison(c.passes, " ≤ ", " > ")
              << (c.count == cutOffWithArea ? "¾" : "⅔") << " φVn = " << Figure{c.limit, 2}
              << " Tn" << (c.count == cutOffWithArea ? ", con el doble del acero que pide el momento" : "");
            break;
    }
    if (!c.article.empty()) p << " (" + std::string(c.article) + ")";
    return p;
}

std::string checkText(const Check& check, char decimalSeparator) {
    return checkBody(check).text(decimalSeparator);
}

Phrase checkPhrase(const Check& check) {
    Phrase p;
    if (check.place.kind != Place::Kind::Beam) p << placePhrase(check.place) << ": ";
    return p << checkBody(check);
}

std::string checkLine(const Check& check, char decimalSeparator) {
    return checkPhrase(check).text(decimalSeparator);
}

Figure ratioFigure(double rho) {
    const bool looksLikeLimit = formatFixed(rho, 3, '.') == formatFixed(rhoLimit, 3, '.');
    return {rho, looksLikeLimit ? 4 : 3};
}

std::string noteText(const Phrase& note, char decimalSeparator) {
    return note.text(decimalSeparator);
}

std::string errorText(const BeamError& error, char decimalSeparator) {
    return error.message.text(decimalSeparator);
}

std::optional<int> placeSpan(const Place& place) {
    switch (place.kind) {
        case Place::Kind::Beam:
            return std::nullopt;
        case Place::Kind::Span:
        case Place::Kind::Face:
            return place.span;
        case Place::Kind::Support:
        case Place::Kind::Point:
            if (place.span > 0) return place.span;
            if (place.support == 0) return std::nullopt;
            return std::max(place.support - 1, 1);
    }
    return std::nullopt;
}

}  // namespace engine::beam
