// Prints fingerprints of the engine's outputs, so that a change meant to move code and leave
// behaviour alone can be checked against the tree before it: the JSON and the schedule text of
// every beam the property tests draw (their fixed seeds; a refused beam's message with '.' into
// the JSON's, with ',' into the schedule's), and the results report of a million
// random sections under both codes. Run it on both trees and compare the lines.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <variant>

#include "beaminputs.h"
#include "engine/beam/beam.h"
#include "engine/beam/beamtext.h"
#include "engine/beam/checktext.h"
#include "engine/design.h"
#include "engine/run.h"

namespace {

// FNV-1a, 64 bits.
struct Fingerprint {
    std::uint64_t value = 14695981039346656037ull;
    void add(std::string_view text) {
        for (const char c : text) {
            value ^= static_cast<unsigned char>(c);
            value *= 1099511628211ull;
        }
    }
};

template <typename Draw>
void beams(const char* name, unsigned seed, int count, Draw draw) {
    std::mt19937 random(seed);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    Fingerprint json, text;
    int designed = 0;
    for (int n = 0; n < count; ++n) {
        const engine::beam::BeamInput in = draw(n, uniform);
        const auto outcome = engine::beam::designBeam(in);
        if (const auto* e = std::get_if<engine::beam::BeamError>(&outcome)) {
            json.add(engine::beam::errorText(*e, '.'));
            text.add(engine::beam::errorText(*e, ','));
            continue;
        }
        ++designed;
        const auto& design = std::get<engine::beam::BeamDesign>(outcome);
        json.add(engine::beam::designJson(design));
        text.add(engine::beam::scheduleText(design, ','));
    }
    std::printf("%s: %d of %d designed, json %016llx, schedule %016llx\n", name, designed, count,
                static_cast<unsigned long long>(json.value),
                static_cast<unsigned long long>(text.value));
}

void sections(int count) {
    std::mt19937 random(1998);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    Fingerprint reports;
    for (int n = 0; n < count; ++n) {
        engine::DesignInput in;
        in.b = std::round(uniform(15, 100));
        in.h = std::round(uniform(15, 100));
        in.dPrime = std::round(uniform(3, 8));
        in.dSecond = std::round(uniform(3, 8));
        in.fc = std::round(uniform(140, 420));
        in.fy = std::round(uniform(2400, 5000));
        in.mu = uniform(0.1, 2e-5 * in.b * in.h * in.h * in.fc / 10);
        const auto code = n % 2 == 0 ? engine::DesignCode::Nsr98 : engine::DesignCode::Nsr10;
        const auto outcome = engine::runDesign(in, code);
        if (const auto* run = std::get_if<engine::DesignRun>(&outcome)) {
            reports.add(engine::resultsReport(*run, n % 3 == 0 ? ',' : '.'));
        } else {
            reports.add(engine::designErrorMessage(std::get<engine::DesignError>(outcome)));
        }
    }
    std::printf("sections: %d reports %016llx\n", count,
                static_cast<unsigned long long>(reports.value));
}

}  // namespace

int main(int argc, char** argv) {
    const int sectionCount = argc > 1 ? std::stoi(argv[1]) : 1000000;
    beams("beams", 18, 200, [](int n, auto& u) { return beaminputs::drawnBeam(n, u); });
    beams("heavy beams", 1818, 240, [](int n, auto& u) { return beaminputs::drawnHeavyBeam(n, u); });
    sections(sectionCount);
}
