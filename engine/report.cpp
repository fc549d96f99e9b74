#include "engine/report.h"

#include <algorithm>
#include <array>
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
    const bool doubly = v.kind == SectionKind::Doubly;
    namespace t = reportText;
    using Pieces = std::array<std::string_view, 3>;
    const auto line = [&v](const ReportLine& l) { return Pieces{l.label, v.*l.value, l.unit}; };
    const auto text = [](std::string_view literal) { return Pieces{literal, {}, {}}; };
    // Label, value and unit of each line; lines are joined by CR LF, none after the last.
    const Pieces pieces[] = {
        text(t::title),
        text({}),
        line(t::d),
        line(t::ku),
        line(t::alfa),
        line(t::beta),
        text(t::ratiosHeading),
        line(t::rho),
        line(t::rhoMax),
        line(t::rhoMin),
        line(t::rhoB),
        line(t::kMax),
        line(t::mMax),
        line(t::as),
        text(doubly ? t::doubly : t::singly),
        line(t::asPrime),
    };
    constexpr std::string_view eol = "\r\n";
    const std::size_t lines = doubly ? 16 : 15;

    std::size_t size = (lines - 1) * eol.size();
    for (std::size_t i = 0; i < lines; ++i) {
        for (std::string_view piece : pieces[i]) size += piece.size();
    }
    std::string out(size, ' ');
    char* p = out.data();
    for (std::size_t i = 0; i < lines; ++i) {
        if (i > 0) p = std::copy(eol.begin(), eol.end(), p);
        for (std::string_view piece : pieces[i]) p = std::copy(piece.begin(), piece.end(), p);
    }
    return out;
}

std::string resultsReport(const DesignResult& r, char sep) {
    return resultsReport(reportValues(r, sep));
}

std::string printedReport(const ReportValues* values) {
    namespace t = reportText;
    const ReportLine* const valueLines[] = {&t::d,    &t::ku,     &t::alfa, &t::beta,
                                            &t::rho,  &t::rhoMax, &t::rhoB, &t::rhoMin,
                                            &t::kMax, &t::mMax,   &t::as};
    const auto appendLine = [values](std::string& text, const ReportLine& line) {
        text += "\r\n";
        text += line.label;
        if (values) text += values->*(line.value);
        text += line.unit;
    };
    std::string text(t::title);
    text += "\r\n";  // the empty second line
    for (const ReportLine* line : valueLines) appendLine(text, *line);
    if (!values) return text;
    const bool doubly = values->kind == SectionKind::Doubly;
    text += "\r\n";
    text += doubly ? t::doubly : t::singly;
    if (doubly) appendLine(text, t::asPrime);
    return text;
}

}  // namespace engine
