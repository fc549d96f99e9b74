#include "engine/beam/shear.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/beam/rules.h"
#include "engine/beam/tolerance.h"

namespace engine::beam {

namespace {

// The analysis shear of one span as magnitudes: the largest |v| given at each x, straight
// between them, the nearest beyond the first and the last.
struct StationShear {
    std::vector<std::pair<double, double>> rows;  // (x from the left face, |v|), by x

    bool empty() const { return rows.empty(); }
    double at(double u) const {
        if (rows.empty()) return 0;
        if (u <= rows.front().first) return rows.front().second;
        if (u >= rows.back().first) return rows.back().second;
        const auto it = std::upper_bound(rows.begin(), rows.end(), std::pair{u, -1.0});
        const auto& [x1, v1] = *it;
        const auto& [x0, v0] = *(it - 1);
        return x1 - x0 > tiny ? v0 + (u - x0) / (x1 - x0) * (v1 - v0) : std::max(v0, v1);
    }
};

std::vector<StationShear> stationShears(const BeamInput& in) {
    std::vector<StationShear> shears(in.spans.size());
    for (const Station& st : in.stations) {
        if (!st.v) continue;
        const auto i = static_cast<std::size_t>(st.span - 1);
        const double x = in.stationsFromCentreline ? st.x - in.supports[i] / 200 : st.x;
        shears[i].rows.push_back({x, std::abs(*st.v)});
    }
    for (StationShear& s : shears) {
        std::sort(s.rows.begin(), s.rows.end());
        std::vector<std::pair<double, double>> merged;
        for (const auto& row : s.rows) {
            if (!merged.empty() && std::abs(row.first - merged.back().first) < tiny)
                merged.back().second = std::max(merged.back().second, row.second);
            else
                merged.push_back(row);
        }
        s.rows = std::move(merged);
    }
    return shears;
}

}  // namespace

ShearDemand shearDemand(const Beam& beam, const std::vector<FaceStation>& faces) {
    const BeamInput& in = beam.in;
    ShearDemand demand;
    demand.vu.assign(beam.points.size(), 0.0);
    const std::vector<StationShear> stations = stationShears(in);
    for (int i = 0; i < beam.spans; ++i) {
        const auto si = static_cast<std::size_t>(i);
        const Span& span = in.spans[si];
        const FaceStation& leftFace = faces[2 * si];
        const FaceStation& rightFace = faces[2 * si + 1];
        const double ln = span.length;
        SpanShear s;
        s.d = std::min(beam.dTop, beam.dBot);
        s.loaded = span.wu.has_value();
        s.wu = span.wu.value_or(0.0);
        // Two shears act along the span, straight lines of slope -wu: the seismic part adds
        // to the gravity shear at the left face in one sway and at the right face in the
        // other. In DMI the end moments of the analysis take the place of the seismic part.
        double gainLeft = 0, gainRight = 0;
        switch (in.seismicClass) {
            case SeismicClass::Des:
                gainLeft = (leftFace.mprNeg + rightFace.mprPos) / ln;
                gainRight = (leftFace.mprPos + rightFace.mprNeg) / ln;
                break;
            case SeismicClass::Dmo:
                gainLeft = (leftFace.mnNeg + rightFace.mnPos) / ln;
                gainRight = (leftFace.mnPos + rightFace.mnNeg) / ln;
                break;
            case SeismicClass::Dmi:
                gainLeft = (leftFace.muNeg - rightFace.muNeg) / ln;
                gainRight = -gainLeft;
                break;
        }
        if (in.seismicClass != SeismicClass::Dmi) {
            s.seismicLeft = gainLeft;
            s.seismicRight = gainRight;
        }
        const StationShear& given = stations[si];
        if (!given.empty()) demand.stationShear = true;
        const bool dmi = in.seismicClass == SeismicClass::Dmi;
        auto shearAt = [&](double u) {
            const double gravity = s.wu * (ln / 2 - u);
            const double capacity =
                std::max(std::abs(gravity + gainLeft), std::abs(gravity - gainRight));
            if (dmi && !given.empty()) return given.at(u);
            return std::max(capacity, given.at(u));
        };
        // DMI designs for the shear at d from the face, where the load's strut reaches the
        // support; DES and DMO for the shear at the face.
        const double reach = dmi ? std::min(s.d / 100, ln / 2) : 0.0;
        auto designShearAt = [&](double u) {
            return shearAt(std::clamp(u, reach, ln - reach));
        };
        s.left = designShearAt(0);
        s.right = designShearAt(ln);
        if (in.seismicClass == SeismicClass::Des) {
            s.noConcreteLeft = s.seismicLeft >= s.left / 2 * (1 - tiny);
            s.noConcreteRight = s.seismicRight >= s.right / 2 * (1 - tiny);
        }
        for (std::size_t k = beam.spanFirst(i); k <= beam.spanLast(i); ++k) {
            const Point& p = beam.points[k];
            if (p.span != i) continue;
            demand.vu[k] = designShearAt(p.x - beam.xL[si]);
        }
        demand.spans.push_back(s);
    }
    return demand;
}

}  // namespace engine::beam
