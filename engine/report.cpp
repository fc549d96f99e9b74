#include "engine/report.h"

#include <string_view>

#include "engine/numbers.h"

namespace engine {

ReportValues reportValues(const DesignResult& r, char sep) {
    ReportValues v;
    v.d = formatGeneral(r.d, sep);
    v.ku = formatFixed(r.ku, 8, sep);
    v.alfa = formatGeneral(r.alfa, sep);
    v.beta = formatGeneral(r.beta, sep);
    v.rho = formatFixed(r.rho, 7, sep);
    v.rhoMax = formatFixed(r.rhoMax, 7, sep);
    // The minimum ratio is brought to eight decimals first and that text shown with seven.
    v.rhoMin = formatFixedTwice(r.rhoMin, 8, 7, sep);
    v.rhoB = formatFixed(r.rhoB, 7, sep);
    v.kMax = formatFixed(r.kMax, 3, sep);
    v.mMax = formatFixed(r.mMax, 2, sep);
    v.as = formatFixed(r.as, 2, sep);
    if (r.kind == SectionKind::Doubly) v.asPrime = formatFixed(r.asPrime, 2, sep);
    v.kind = r.kind;
    return v;
}

std::string resultsReport(const ReportValues& v) {
    constexpr std::string_view eol = "\r\n";
    std::string out;
    out.reserve(512);
    auto line = [&](std::string_view label, std::string_view value = {},
                    std::string_view unit = {}) {
        out += label;
        out += value;
        out += unit;
        out += eol;
    };
    line("********  DISEÑO DE VIGA DE CONCRETO ********");
    line("");
    line(" d : ", v.d, " cm");
    line(" Ku : ", v.ku, " Tn/cm2");
    line(" Alfa : ", v.alfa);
    line(" Beta : ", v.beta);
    line("      Cuantias   ");
    line(" Ro Requerido :", v.rho);
    line(" ro maximo : ", v.rhoMax);
    line(" ro minimo : ", v.rhoMin);
    line(" ro Balanceado : ", v.rhoB);
    line(" K maximo : ", v.kMax);
    line(" M Maximo : ", v.mMax, " Tn-m ");
    line(" Area de Refuerzo : ", v.as, " cm2");
    if (v.kind == SectionKind::Doubly) {
        line(" SECCION DOBLEMENTE REFORZADA ");
        line(" Area acero superior :", v.asPrime, " cm2");
    } else {
        line(" SECCION SIMPLEMENTE REFORZADA ");
    }
    out.resize(out.size() - eol.size());  // no line break after the last line
    return out;
}

std::string resultsReport(const DesignResult& r, char sep) {
    return resultsReport(reportValues(r, sep));
}

}  // namespace engine
