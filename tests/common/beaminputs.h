#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "engine/beam/beam.h"

// Continuous beams typed as an engineer types them, shared by the tests and the benchmarks.
namespace beaminputs {

// A beam of b x h cm with d' = d'' = 6 cm, f'c 210 and Fy 4200 kg/cm2 (30 x 50 cm unless given)
// on these supports (cm) and spans, under the code and seismic class given.
inline engine::beam::BeamInput beam(engine::DesignCode code,
                                    engine::beam::SeismicClass seismicClass,
                                    std::vector<double> supports,
                                    std::vector<engine::beam::Span> spans, double b = 30,
                                    double h = 50) {
    engine::beam::BeamInput in;
    in.code = code;
    in.seismicClass = seismicClass;
    in.b = b;
    in.h = h;
    in.dPrime = 6;
    in.dSecond = 6;
    in.fc = 210;
    in.fy = 4200;
    in.supports = std::move(supports);
    in.spans = std::move(spans);
    return in;
}

// A 10-span NSR-10 DES beam of 5.6 m clear spans between 40 cm columns: Mu- 12 Tn-m at the outer
// faces and 14 at the interior ones, Mu+ from 7 rising by 0.1 a span.
inline engine::beam::BeamInput tenSpans() {
    std::vector<engine::beam::Span> spans;
    for (int i = 0; i < 10; ++i)
        spans.push_back({5.6, {i == 0 ? 12.0 : 14.0, 7 + 0.1 * i, i == 9 ? 12.0 : 14.0, {}, {}, {}}});
    return beam(engine::DesignCode::Nsr10, engine::beam::SeismicClass::Des,
                std::vector<double>(11, 40), std::move(spans));
}

using Range = std::pair<double, double>;

// The supports and spans of a uniformly loaded frame beam drawn at random: support widths in
// `supportWidths` (cm), clear spans from 3.5 m to `longest` (to 5 cm), moments at the faces and
// at midspan as shares of `scale`, and every `midMinEvery`-th beam (by `n`) with a smallest
// midspan moment too.
template <typename Uniform>
void drawSpans(engine::beam::BeamInput& in, int spans, Uniform& uniform, double scale,
               Range supportWidths, double longest, Range faceShare, Range midShare, int n,
               int midMinEvery, Range midMinShare) {
    for (int j = 0; j <= spans; ++j)
        in.supports.push_back(std::round(uniform(supportWidths.first, supportWidths.second)));
    for (int i = 0; i < spans; ++i) {
        engine::beam::Span s;
        s.length = std::round(uniform(3.5, longest) * 20) / 20;
        s.moments.left = scale * uniform(faceShare.first, faceShare.second);
        s.moments.right = scale * uniform(faceShare.first, faceShare.second);
        s.moments.mid = scale * uniform(midShare.first, midShare.second);
        if (n % midMinEvery == 0)
            s.moments.midMin = s.moments.mid * uniform(midMinShare.first, midMinShare.second);
        in.spans.push_back(s);
    }
}

// The n-th of a series of random beams of 1 to 6 spans under each class and code, with about
// 1 % of steel at the faces; `uniform(lo, hi)` draws from the series' generator.
template <typename Uniform>
engine::beam::BeamInput drawnBeam(int n, Uniform& uniform) {
    using engine::beam::SeismicClass;
    engine::beam::BeamInput in;
    in.code = n % 2 == 0 ? engine::DesignCode::Nsr98 : engine::DesignCode::Nsr10;
    in.seismicClass =
        std::array{SeismicClass::Des, SeismicClass::Dmo, SeismicClass::Dmi}[(n / 2) % 3];
    in.b = std::array{25.0, 30.0, 35.0, 40.0}[static_cast<std::size_t>(n) % 4];
    in.h = std::round(uniform(40, 70) / 5) * 5;
    in.dPrime = 6;
    in.dSecond = 6;
    in.fc = std::array{210.0, 280.0}[static_cast<std::size_t>(n / 7) % 2];
    in.fy = 4200;
    in.stockLength = std::array{12.0, 9.0, 6.0}[static_cast<std::size_t>(n / 5) % 3];
    const int spans = 1 + n % 6;
    // Moments of a uniformly loaded frame beam, scaled to the section.
    // About 1 % of steel at a face: 30 b d² kg·cm, in Tn-m.
    const double scale = in.b * std::pow(in.h - 6, 2) * 30e-5 * uniform(0.3, 1.0);
    drawSpans(in, spans, uniform, scale, {40, 60}, 7.5, {0.5, 1.2}, {0.4, 0.8}, n, 3,
              {0.1, 0.5});
    // Every fifth beam, from a sway frame, with Mu+ at the faces of a quarter of Mu− there.
    if (n % 5 == 2) {
        for (engine::beam::Span& s : in.spans) {
            s.moments.posLeft = s.moments.left / 4;
            s.moments.posRight = s.moments.right / 4;
        }
    }
    // Two beams in three with the gravity load such moments come from, about 10 Mu− / ln²
    // (the third designs its stirrups for the seismic shear alone).
    if (n % 3 != 0) {
        for (engine::beam::Span& s : in.spans)
            s.wu = 10 * std::max(s.moments.left, s.moments.right) / (s.length * s.length);
    }
    // Every third beam on columns as wide as the beam up to 15 cm wider (the others square).
    if (n % 3 == 1) {
        for (std::size_t j = 0; j < in.supports.size(); ++j)
            in.columns.push_back(in.b + 5.0 * static_cast<double>((static_cast<std::size_t>(n) + j) % 4));
    }
    return in;
}

// Heavier beams than drawnBeam's: up to about 2 % of steel at the faces, b from 25 to 40 cm,
// h from 40 to 70 cm, narrow and wide supports.
template <typename Uniform>
engine::beam::BeamInput drawnHeavyBeam(int n, Uniform& uniform) {
    using engine::beam::SeismicClass;
    engine::beam::BeamInput in;
    in.code = n % 2 == 0 ? engine::DesignCode::Nsr10 : engine::DesignCode::Nsr98;
    in.seismicClass =
        std::array{SeismicClass::Des, SeismicClass::Dmo, SeismicClass::Dmi}[(n / 2) % 3];
    in.b = std::round(uniform(25, 40));
    in.h = std::round(uniform(40, 70) / 5) * 5;
    in.dPrime = 6;
    in.dSecond = std::array{6.0, 8.0}[static_cast<std::size_t>(n / 3) % 2];
    in.fc = std::array{210.0, 280.0, 350.0}[static_cast<std::size_t>(n / 5) % 3];
    in.fy = 4200;
    in.stockLength = std::array{12.0, 9.0}[static_cast<std::size_t>(n / 7) % 2];
    const int spans = 1 + n % 6;
    // 55 b d2 kg-cm is about 2 % of steel at fy 4200 and f'c 210.
    const double scale = in.b * std::pow(in.h - 6, 2) * 55e-5 * uniform(0.3, 1.0);
    drawSpans(in, spans, uniform, scale, {35, 70}, 8.0, {0.4, 1.0}, {0.2, 0.8}, n, 4,
              {0.0, 0.5});
    return in;
}

// The n-th of a series of beams as a Colombian office draws them: b 25 to 40 cm, h 40 to 70 cm
// and at least ln/16 (to 5 cm), 1 to 5 clear spans of 3 to 8 m, supports of 30 to 60 cm, every
// class and code. The moments are those of a uniform load wu: wu ln²/10 at interior faces (ln
// the mean of the spans beside), wu ln²/16 at outer faces, wu ln²/14 at midspan (wu ln²/8 for a
// single span); wu makes the largest of them need 0.3 to 1.2 % of steel (φ 0.9), and the
// spans carry it.
template <typename Uniform>
engine::beam::BeamInput drawnOfficeBeam(int n, Uniform& uniform) {
    using engine::beam::SeismicClass;
    engine::beam::BeamInput in;
    in.code = n % 2 == 0 ? engine::DesignCode::Nsr98 : engine::DesignCode::Nsr10;
    in.seismicClass =
        std::array{SeismicClass::Des, SeismicClass::Dmo, SeismicClass::Dmi}[(n / 2) % 3];
    in.b = std::round(uniform(25, 40));
    in.dPrime = 6;
    in.dSecond = 6;
    in.fc = std::array{210.0, 280.0}[static_cast<std::size_t>(n / 6) % 2];
    in.fy = 4200;
    const int spans = 1 + static_cast<int>(uniform(0, 5 - 1e-9));
    std::vector<double> lengths;
    double longest = 0;
    for (int i = 0; i < spans; ++i) {
        lengths.push_back(std::round(uniform(3, 8) * 20) / 20);
        longest = std::max(longest, lengths.back());
    }
    const double lowest = std::max(40.0, std::ceil(longest * 100 / 16 / 5) * 5);
    in.h = std::round(uniform(lowest, 70) / 5) * 5;
    for (int j = 0; j <= spans; ++j) in.supports.push_back(std::round(uniform(30, 60)));
    auto faceLength = [&](int support) {
        if (support == 0) return lengths.front();
        if (support == spans) return lengths.back();
        return (lengths[static_cast<std::size_t>(support) - 1] +
                lengths[static_cast<std::size_t>(support)]) /
               2;
    };
    auto faceShare = [&](int support) {
        const double ln = faceLength(support);
        return ln * ln / (support == 0 || support == spans ? 16 : 10);
    };
    const double midDivisor = spans == 1 ? 8 : 14;
    double largestShare = 0;
    for (int j = 0; j <= spans; ++j) largestShare = std::max(largestShare, faceShare(j));
    for (const double ln : lengths) largestShare = std::max(largestShare, ln * ln / midDivisor);
    const double d = in.h - 6;
    const double as = uniform(0.003, 0.012) * in.b * d;
    const double a = as * in.fy / (0.85 * in.fc * in.b);
    const double mu = 0.9 * as * in.fy * (d - a / 2) * 1e-5;  // Tn-m
    const double wu = mu / largestShare;
    for (int i = 0; i < spans; ++i) {
        const double ln = lengths[static_cast<std::size_t>(i)];
        in.spans.push_back(
            {ln, {wu * faceShare(i), wu * ln * ln / midDivisor, wu * faceShare(i + 1), {}, {}, {}},
             wu});
    }
    return in;
}

}  // namespace beaminputs
