#include "engine/report.h"

namespace engine {
ReportValues reportValues(const DesignResult&, char) { return {}; }
std::string resultsReport(const ReportValues&) { return {}; }
std::string resultsReport(const DesignResult& r, char sep) { return resultsReport(reportValues(r, sep)); }
}  // namespace engine
