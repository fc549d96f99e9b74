#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "engine/arrangementtext.h"
#include "engine/candidatecheck.h"
#include "engine/layout.h"
#include "engine/run.h"

namespace {

using engine::Arrangement;
using engine::Face;
using engine::LayoutSettings;

engine::Layer layer(std::string_view text) {
    const engine::ParsedLayer parsed = engine::parseLayer(text);
    EXPECT_TRUE(parsed.ok()) << text << ": " << parsed.error;
    return parsed.layer;
}

// The narrowest width a layer fits in (cover 4 + stirrup N° 3 of 0.95 cm on each side), and
// 0.001 cm less, where it must not.
TEST(Layout, SpacingRuleAtItsBoundaries) {
    struct Row {
        const char* bars;
        double aggregate;
        double spacing;  // the rule's clear spacing
        double width;    // b in which the layer exactly fits
    };
    const double sides = 2 * (4 + 0.95);
    const Row rows[] = {
        {"3N10", 1.9, 3.23, 5 * 3.23 + sides},  // bar diameter governs
        {"4N5", 1.9, 4.0 / 3 * 1.9, 4 * 1.59 + 3 * (4.0 / 3 * 1.9) + sides},  // aggregate governs
        {"4N5", 1.5, 2.5, 4 * 1.59 + 3 * 2.5 + sides},                        // 2.5 cm governs
        {"2N6+1N5", 1.9, 4.0 / 3 * 1.9, 2 * 1.91 + 1.59 + 2 * (4.0 / 3 * 1.9) + sides},
    };
    for (const Row& row : rows) {
        LayoutSettings settings;
        settings.maxAggregate = row.aggregate;
        const Arrangement arrangement{{layer(row.bars)}};
        const auto exact = engine::placeBars(arrangement, Face::Tension, settings, row.width, 50);
        const auto narrow =
            engine::placeBars(arrangement, Face::Tension, settings, row.width - 0.001, 50);
        EXPECT_NEAR(exact.layers[0].requiredSpacing, row.spacing, 1e-12) << row.bars;
        EXPECT_NEAR(exact.widthNeeded, row.width, 1e-12) << row.bars;
        EXPECT_TRUE(exact.fits) << row.bars;
        EXPECT_NEAR(exact.layers[0].clearSpacing, row.spacing, 1e-9) << row.bars;
        EXPECT_FALSE(narrow.fits) << row.bars;
    }
}

// Published minimum width for 3 N° 10 in N° 3 stirrups with 3.81 cm cover, clear spacing = bar
// diameter, without the stirrup's bend radius: 25.65 cm with the inch diameters; the catalogue's
// millimetre diameters (32.3, 9.5) give 25.67.
TEST(Layout, PublishedMinimumWidthForThreeBars) {
    LayoutSettings settings;
    settings.clearCover = 3.81;
    settings.maxAggregate = 0.5;
    const auto placed =
        engine::placeBars(Arrangement{{layer("3N10")}}, Face::Tension, settings, 40, 60);
    EXPECT_NEAR(placed.widthNeeded, 25.67, 1e-9);
    EXPECT_NEAR(placed.widthNeeded, 25.65, 0.03);
}

// Real depths: each bar rests on the stirrup by its own radius; a second layer sits 2.5 cm clear
// above the largest bar below; compression bars hang from the top stirrup.
TEST(Layout, RealDepthIsTheAreaWeightedCentroid) {
    struct Row {
        std::vector<const char*> layers;
        Face face;
        double centroid;
    };
    const double seat = 4 + 0.95;
    const Row rows[] = {
        {{"3N8"}, Face::Tension, 50 - (seat + 1.27)},
        {{"2N8+1N5"}, Face::Tension, 50 - (10.2 * (seat + 1.27) + 2 * (seat + 0.795)) / 12.2},
        {{"3N8", "2N8"},
         Face::Tension,
         50 - (3 * (seat + 1.27) + 2 * (seat + 2.54 + 2.5 + 1.27)) / 5},
        {{"2N5"}, Face::Compression, seat + 0.795},
    };
    for (const Row& row : rows) {
        Arrangement arrangement;
        for (const char* text : row.layers) arrangement.layers.push_back(layer(text));
        const auto placed = engine::placeBars(arrangement, row.face, LayoutSettings{}, 30, 50);
        EXPECT_NEAR(placed.centroid, row.centroid, 1e-12) << row.layers[0];
        // The bars stay inside the stirrup and, in a mixed layer, the larger ones at the corners.
        const auto& bars = placed.bars;
        EXPECT_NEAR(bars.front().x - bars.front().bar->diameterCm() / 2, seat, 1e-12);
        EXPECT_GE(bars.front().bar->diameterMm, bars[1].bar->diameterMm);
    }
}

TEST(Layout, TypedLayersReadBackAndBadOnesSayWhy) {
    const engine::Layer expected{{2, engine::findBar(6)}, {1, engine::findBar(5)}};
    for (const char* text : {"2N6+1N5", " 2 n 6 + 1 N°5 ", "2#6+1Nº5", "2 N° 6 + 1 N° 5"}) {
        EXPECT_EQ(layer(text), expected) << text;
    }
    EXPECT_EQ(engine::formatLayer(expected), "2 N° 6 + 1 N° 5");
    EXPECT_EQ(engine::formatArrangement(Arrangement{{layer("3N8"), layer("2N8")}}),
              "3 N° 8 / 2 N° 8");

    struct Bad {
        const char* text;
        const char* message;  // a part of the message
    };
    const Bad bad[] = {
        {"", "Escriba las barras"},
        {"   ", "Escriba las barras"},
        {"0N5", "al menos 1"},
        {"2N12", "No hay barra N° 12"},
        {"2N5+", "Falta un grupo"},
        {"2N5++1N4", "Falta un grupo"},
        {"N5", "No se entiende «N5»"},
        {"2x5", "No se entiende"},
        {"2N", "No se entiende"},
        {"2N5 3", "No se entiende"},
        {"2N5.5", "No se entiende"},
        {"99999999999N5", "Demasiadas barras"},
        {"2N99999999999", "No hay barra"},
    };
    for (const Bad& row : bad) {
        const engine::ParsedLayer parsed = engine::parseLayer(row.text);
        EXPECT_FALSE(parsed.ok()) << row.text;
        EXPECT_NE(parsed.error.find(row.message), std::string::npos)
            << row.text << ": " << parsed.error;
        EXPECT_TRUE(parsed.layer.empty()) << row.text;
    }
}

// 2 N° 10 (16.38 cm2) is the pick for 16.15 cm2 in b = 30, ahead of 2 N° 11 (more excess) and of
// arrangements with more bars.
// Every proposed arrangement's text reads back as the same bars; a blank layer is refused.
TEST(Layout, ArrangementTextReadsBack) {
    const engine::LayoutSettings settings;
    for (const double area : {3.0, 16.15, 40.0}) {
        for (const auto& candidate :
             engine::findCandidates(area, engine::Face::Tension, settings, 30, 50).candidates) {
            const std::string text = engine::formatArrangement(candidate.arrangement);
            const engine::ParsedArrangement parsed = engine::parseArrangement(text);
            ASSERT_TRUE(parsed.ok()) << text << ": " << parsed.error;
            EXPECT_EQ(parsed.arrangement, candidate.arrangement) << text;
        }
    }
    for (const char* bad : {"", "2N6 /", "/ 2N6", "2N6 // 2N5"})
        EXPECT_FALSE(engine::parseArrangement(bad).ok()) << bad;
}

TEST(Layout, CandidatesOrderedAsAnEngineerPicks) {
    const auto search = engine::findCandidates(16.15, Face::Tension, LayoutSettings{}, 30, 50);
    ASSERT_FALSE(search.candidates.empty());
    EXPECT_EQ(engine::formatArrangement(search.candidates[0].arrangement), "2 N° 10");
    EXPECT_EQ(engine::formatArrangement(search.candidates[1].arrangement), "2 N° 11");
    EXPECT_LE(search.candidates.size(), engine::maxCandidates);
    for (const engine::Candidate& candidate : search.candidates) {
        EXPECT_GE(candidate.area, 16.15);
        EXPECT_TRUE(candidate.placement.fits) << engine::formatArrangement(candidate.arrangement);
    }
}

// Candidates over a range of areas and widths: each fits and reaches the area, at least two bars
// a layer, and a two-layer candidate only when its bars do not fit in one.
TEST(Layout, EveryCandidateFitsAndReachesTheArea) {
    for (const double b : {20.0, 25.0, 30.0, 45.0}) {
        for (const double area : {1.0, 5.5, 12.0, 24.0, 40.0, 65.0}) {
            for (const Face face : {Face::Tension, Face::Compression}) {
                const auto search = engine::findCandidates(area, face, LayoutSettings{}, b, 60);
                for (const engine::Candidate& c : search.candidates) {
                    const std::string name = engine::formatArrangement(c.arrangement);
                    EXPECT_TRUE(c.placement.fits) << name;
                    EXPECT_GE(c.area, area) << name;
                    for (const engine::Layer& l : c.arrangement.layers)
                        EXPECT_GE(engine::barCount(l), 2);
                    if (c.layers == 2) {
                        Arrangement flat{{c.arrangement.layers[0]}};
                        for (const auto& group : c.arrangement.layers[1])
                            flat.layers[0].push_back(group);
                        EXPECT_FALSE(engine::placeBars(flat, face, LayoutSettings{}, b, 60).fits)
                            << name;
                    }
                    EXPECT_TRUE(face == Face::Tension || c.layers == 1) << name;
                }
            }
        }
    }
}

// Nothing fits: the named limit is a width in which the narrowest arrangement does fit.
TEST(Layout, NothingFitsNamesTheWidthNeeded) {
    for (const int layers : {1, 2}) {
        LayoutSettings settings;
        settings.maxTensionLayers = layers;
        const auto search = engine::findCandidates(60, Face::Tension, settings, 20, 60);
        EXPECT_TRUE(search.candidates.empty());
        ASSERT_GT(search.narrowestWidth, 20);
        const auto placed =
            engine::placeBars(search.narrowest, Face::Tension, settings, search.narrowestWidth, 60);
        EXPECT_TRUE(placed.fits);
        EXPECT_NEAR(placed.widthNeeded, search.narrowestWidth, 1e-12);
        EXPECT_NE(engine::noFitText(search, ',').find("necesita b = "), std::string::npos);
    }
}

// Proposals ranked by their own check with the bars as placed: for b 30, h 50, d' = d'' = 5,
// f'c 210, Fy 4200 the first pair offered passes (at Mu 40 the area-first pick, 2 N° 11 + 1 N° 10
// with 2 N° 7, has d = 43.31 < 45 and fails); passing candidates come first in their
// findCandidates order, then the rest in theirs.
TEST(Layout, CandidatesRankedByTheirOwnCheck) {
    for (const double mu : {23.0, 40.0, 45.0}) {
        const engine::DesignInput input{30, 50, 5, 210, 4200, mu, 5};
        const auto outcome = engine::runDesign(input, engine::DesignCode::Nsr98);
        ASSERT_TRUE(std::holds_alternative<engine::DesignRun>(outcome));
        const engine::CompletedDesign design{input, std::get<engine::DesignRun>(outcome)};
        const bool doubly = design.run.kind() == engine::SectionKind::Doubly;
        auto tension = engine::findCandidates(design.run.as(), Face::Tension, {}, 30, 50);
        auto compression = doubly ? engine::findCandidates(design.run.asPrime(),
                                                           Face::Compression, {}, 30, 50)
                                  : engine::CandidateSearch{};
        const auto before = tension.candidates;
        engine::rankByCheck(tension, compression, design);
        ASSERT_EQ(tension.candidates.size(), before.size());
        for (const auto* search : {&tension, &compression}) {
            bool failed = false;
            for (const engine::Candidate& candidate : search->candidates) {
                ASSERT_TRUE(candidate.passes.has_value());
                EXPECT_FALSE(failed && *candidate.passes) << mu << " passing after failing";
                failed = failed || !*candidate.passes;
            }
        }
        // Within each group the findCandidates order stands.
        for (const bool group : {true, false}) {
            std::size_t last = 0;
            for (const engine::Candidate& candidate : tension.candidates) {
                if (*candidate.passes != group) continue;
                std::size_t at = 0;
                while (!(before[at].arrangement == candidate.arrangement)) ++at;
                EXPECT_GE(at, last) << mu;
                last = at;
            }
        }
        if (mu <= 40) {
            EXPECT_TRUE(engine::anyPasses(tension)) << mu;
            EXPECT_TRUE(*tension.candidates[0].passes) << mu;
            if (doubly) {
                EXPECT_TRUE(*compression.candidates[0].passes) << mu;
            }
        }
        if (mu == 40) {
            EXPECT_EQ(engine::formatArrangement(before[0].arrangement), "2 N° 11 + 1 N° 10");
            EXPECT_NE(tension.candidates[0].arrangement, before[0].arrangement);
        }
    }
}

}  // namespace
