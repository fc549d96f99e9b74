#pragma once

#include <string>

#include "engine/design.h"

namespace engine {

// The value texts of one completed design run, exactly as the results report shows them.
// The printed report is composed from the same texts.
struct ReportValues {
    std::string d;        // general format
    std::string ku;       // 8 decimals
    std::string alfa;     // general format
    std::string beta;     // general format
    std::string rho;      // 7 decimals
    std::string rhoMax;   // 7 decimals
    std::string rhoMin;   // 8 then 7 decimals
    std::string rhoB;     // 7 decimals
    std::string kMax;     // 3 decimals
    std::string mMax;     // 2 decimals
    std::string as;       // 2 decimals
    std::string asPrime;  // 2 decimals, doubly reinforced only (else empty)
    SectionKind kind = SectionKind::Singly;
};

ReportValues reportValues(const DesignResult& result, char decimalSeparator);

// The results report: 15 lines (singly) or 16 (doubly), CR LF between lines, none after the last.
std::string resultsReport(const ReportValues& values);
std::string resultsReport(const DesignResult& result, char decimalSeparator);

}  // namespace engine
