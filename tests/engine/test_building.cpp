#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <variant>

#include "engine/beam/beam.h"
#include "engine/building/building.h"
#include "engine/numbers.h"

namespace {

using engine::building::Building;

std::variant<Building, std::string> buildingOf(std::string_view beams, bool fromStations,
                                               char delimiter = ',', char separator = '.') {
    engine::csv::Reader reader(engine::csv::memorySource(beams), delimiter);
    return engine::building::readBuilding(reader, separator, fromStations);
}

// The building with its stations read into it, or the first message.
std::variant<Building, std::string> buildingWithStations(std::string_view beams,
                                                         std::string_view stations,
                                                         bool fromCentreline = false) {
    auto read = buildingOf(beams, true);
    if (std::holds_alternative<std::string>(read)) return read;
    engine::csv::Reader reader(engine::csv::memorySource(stations), ',');
    if (auto message = engine::building::readBuildingStations(reader, '.', std::get<Building>(read),
                                                              fromCentreline))
        return *message;
    return read;
}

const std::string_view beamsHeader =
    "beam,span,length,support_left,support_right,b,h,cover,cover2,fc,fy\n";

TEST(Building, ReadsNamedBeamsFromRowsInAnyOrder) {
    // Columns in another order, decimal commas, rows of two beams interleaved, an extra column.
    const auto read = buildingOf(
        "piso;description;fy;fc;beam;span;length;support_left;support_right;b;h;cover;cover2;"
        "mu_left;mu_mid;mu_right;wu;class\n"
        "2;Eje B, piso 2;4200;210;V-201;1;5,5;40;40;30;50;6;6;-12;8;-14;3,2;DMO\n"
        "1;;4200;210;V-101;1;4;30;30;25;45;6;6;-9;6;-9;;\n"
        "2;;4200;210;V-201;2;4;40;35;30;50;6;6;-14;7;-10;2,5;DMO\n",
        false, ';', ',');
    ASSERT_TRUE(std::holds_alternative<Building>(read)) << std::get<std::string>(read);
    const Building& building = std::get<Building>(read);
    ASSERT_EQ(building.beams.size(), 2u);
    const auto& first = building.beams[0];
    EXPECT_EQ(first.input.name, "V-201");
    EXPECT_EQ(first.description, "Eje B, piso 2");
    EXPECT_EQ(first.input.seismicClass, engine::beam::SeismicClass::Dmo);
    EXPECT_EQ(first.input.supports, (std::vector<double>{40, 40, 35}));
    ASSERT_EQ(first.input.spans.size(), 2u);
    EXPECT_EQ(first.input.spans[0].length, 5.5);
    EXPECT_EQ(first.input.spans[0].moments.right, 14);
    EXPECT_EQ(first.input.spans[1].wu, 2.5);
    EXPECT_EQ(building.beams[1].input.b, 25);
    EXPECT_EQ(building.beams[1].input.seismicClass, engine::beam::SeismicClass::Des);
    EXPECT_FALSE(building.beams[1].input.spans[0].wu);
}

// Analysis programs measure stations from the joint: a span of 5 m between the faces of 40 cm
// supports runs 0 to 5.40 m between their centrelines. x = 5.40 m is the right joint from the
// centreline, and lies past the right face when measured from the left face.
TEST(Building, StationsFromTheJointReachTheRightSupportsCentreline) {
    const std::string beams = std::string(beamsHeader) + "V-1,1,5,40,40,30,50,6,6,210,4200\n";
    const std::string stations = "beam,span,x,mu\nV-1,1,0,-10\nV-1,1,2.7,8\nV-1,1,5.4,-10\n";
    const auto joint = buildingWithStations(beams, stations, true);
    ASSERT_TRUE(std::holds_alternative<Building>(joint)) << std::get<std::string>(joint);
    EXPECT_TRUE(std::get<Building>(joint).beams[0].input.stationsFromCentreline);
    const auto face = buildingWithStations(beams, stations, false);
    ASSERT_TRUE(std::holds_alternative<std::string>(face));
    EXPECT_NE(std::get<std::string>(face).find("línea 4"), std::string::npos)
        << std::get<std::string>(face);
}

TEST(Building, RefusalsNameTheLineOrTheBeam) {
    const std::string row1 = "V-1,1,5,40,40,30,50,6,6,210,4200\n";
    const std::string row2 = "V-1,2,5,40,40,30,50,6,6,210,4200\n";
    const std::string spans = std::string(beamsHeader) + row1 + row2;
    const std::string stations = "beam,span,x,mu\n";
    struct Case {
        const char* name;
        std::string beams, stations;
        std::string_view expected;  // the start of the message
    };
    const Case cases[] = {
        {"no beams", std::string(beamsHeader) + ",,,,\n", "", "el archivo no trae ninguna viga"},
        {"section disagrees",
         std::string(beamsHeader) + row1 + "V-1,2,5,40,40,30,55,6,6,210,4200\n", "",
         "línea 3: la viga ya tiene otro valor de «h» en la línea 2"},
        {"duplicate name", spans + row1, "", "línea 4: la viga «V-1» aparece dos veces"},
        {"span out of order", std::string(beamsHeader) + row2, "", "línea 2: se espera el vano 1"},
        {"missing column", "beam,span,length,support_left,support_right,b,h,cover,fc,fy\n", "",
         "línea 1: falta la columna «cover2»"},
        {"station of another beam", spans, stations + "V-1,1,0,-5\nV-9,1,0,-5\n",
         "línea 3: la viga «V-9» no está en el archivo de vigas"},
        {"station outside its span", spans, stations + "V-1,1,5.5,-5\n",
         "línea 2: la estación x = 5.5 m queda fuera del vano 1"},
        {"beam without stations", spans, stations,
         "el archivo no trae ninguna estación de la viga «V-1»"},
        {"span without stations", spans, stations + "V-1,1,0,-5\n",
         "el archivo no trae ninguna estación del vano 2 de la viga «V-1»"},
    };
    for (const Case& test : cases) {
        const auto read = test.stations.empty() ? buildingOf(test.beams, true)
                                                : buildingWithStations(test.beams, test.stations);
        ASSERT_TRUE(std::holds_alternative<std::string>(read)) << test.name;
        EXPECT_TRUE(std::get<std::string>(read).starts_with(test.expected))
            << test.name << ": " << std::get<std::string>(read);
    }
}

// A building as an analysis exports it: `count` beams of three spans in two geometries, each
// with its own demand (stations every quarter span, two load combinations).
std::pair<std::string, std::string> exportedBuilding(int count) {
    std::string beams = std::string(beamsHeader.substr(0, beamsHeader.size() - 1)) + ",class\n";
    std::string stations = "storey,beam,span,x,mu,v,combo\n";
    const auto number = [](double value) { return engine::formatGeneral(value, '.'); };
    for (int i = 0; i < count; ++i) {
        const std::string name = "V-" + std::to_string(101 + i);
        const bool deep = i % 2 == 1;
        const double scale = 0.7 + 0.1 * (i % 5);
        for (int span = 1; span <= 3; ++span) {
            const double length = span == 2 ? 4.5 : 5.5;
            beams += name + "," + std::to_string(span) + "," + number(length) + ",40,40,30," +
                     (deep ? "60" : "50") + ",6,6,210,4200,DES\n";
            for (int combo = 1; combo <= 2; ++combo) {
                const double factor = scale * (combo == 1 ? 1 : 0.6);
                for (int quarter = 0; quarter <= 4; ++quarter) {
                    const double x = length * quarter / 4;
                    const double t = quarter / 4.0;
                    // A parabola from -16 at the faces to +9 at midspan, per unit factor.
                    const double mu = factor * (-16 + 100 * t * (1 - t));
                    const double v = factor * 14 * (1 - 2 * t);
                    stations += "P" + std::to_string(i % 3) + "," + name + "," +
                                std::to_string(span) + "," + number(x) + "," + number(mu) + "," +
                                number(v) + ",C" + std::to_string(combo) + "\n";
                }
            }
        }
    }
    return {beams, stations};
}

TEST(Building, QuantitiesAreTheSumOfTheBeamsAndEveryBeamPassesOrNamesItsCheck) {
    const auto [beams, stations] = exportedBuilding(6);
    const auto read = buildingWithStations(beams, stations);
    ASSERT_TRUE(std::holds_alternative<Building>(read)) << std::get<std::string>(read);
    const Building& building = std::get<Building>(read);
    ASSERT_EQ(building.beams.size(), 6u);
    engine::building::Quantities total;
    double totalMass = 0, stirrupMass = 0, concrete = 0;
    for (const auto& beam : building.beams) {
        const auto outcome = engine::beam::designBeam(beam.input);
        ASSERT_TRUE(std::holds_alternative<engine::beam::BeamDesign>(outcome)) << beam.input.name;
        const auto& design = std::get<engine::beam::BeamDesign>(outcome);
        bool allPass = true;
        for (const auto& check : design.checks) allPass = allPass && check.passes;
        EXPECT_EQ(design.passes, allPass) << beam.input.name;
        EXPECT_FALSE(design.checks.empty());
        const auto quantities = engine::building::designQuantities(design);
        // The quantities by size add up to the design's own masses, stirrups included.
        EXPECT_NEAR(quantities.total(), design.totalMass, 1e-6) << beam.input.name;
        EXPECT_NEAR(quantities.stirrups, design.stirrupMass, 1e-6) << beam.input.name;
        EXPECT_GT(quantities.stirrups, 0);
        for (const auto& [bar, mass] : design.massByBar) {
            double bySize = 0;
            if (quantities.longitudinalByBar.contains(bar))
                bySize += quantities.longitudinalByBar.at(bar);
            if (quantities.stirrupsByBar.contains(bar)) bySize += quantities.stirrupsByBar.at(bar);
            EXPECT_NEAR(bySize, mass, 1e-6) << beam.input.name << " N° " << bar;
        }
        total.add(quantities);
        totalMass += design.totalMass;
        stirrupMass += design.stirrupMass;
        concrete += design.concrete;
    }
    EXPECT_NEAR(total.total(), totalMass, 1e-6);
    EXPECT_NEAR(total.stirrups, stirrupMass, 1e-6);
    EXPECT_NEAR(total.concrete, concrete, 1e-9);
    double bySize = 0;
    for (const auto& [bar, mass] : total.longitudinalByBar) bySize += mass;
    for (const auto& [bar, mass] : total.stirrupsByBar) bySize += mass;
    EXPECT_NEAR(bySize, totalMass, 1e-6);

    // The CSV's last row is the building's, whatever the beams' order.
    const std::string csv = engine::building::quantitiesCsv(
        {{"A", engine::building::Quantities{}}, {"B", total}}, ';', ',');
    EXPECT_NE(csv.find("\nTotal;"), std::string::npos);
    EXPECT_NE(csv.find(engine::formatFixed(totalMass, 1, ',')), std::string::npos);
}

TEST(Building, GroupedBarsCoverEachMembersDemandEverywhere) {
    const auto [beams, stations] = exportedBuilding(6);
    // Typed moments too: the same beams' envelopes as face and midspan figures.
    for (const bool withStations : {true, false}) {
        Building building;
        if (withStations) {
            auto read = buildingWithStations(beams, stations);
            ASSERT_TRUE(std::holds_alternative<Building>(read)) << std::get<std::string>(read);
            building = std::get<Building>(std::move(read));
        } else {
            auto read = buildingOf(beams, true);
            ASSERT_TRUE(std::holds_alternative<Building>(read));
            building = std::get<Building>(std::move(read));
            for (std::size_t i = 0; i < building.beams.size(); ++i) {
                const double scale = 0.7 + 0.1 * static_cast<double>(i % 5);
                for (auto& span : building.beams[i].input.spans)
                    span.moments = {16 * scale, 9 * scale,    14 * scale * (i % 2 ? 0.8 : 1.1),
                                    2 * scale,  std::nullopt, std::nullopt};
            }
        }
        const auto groups = engine::building::groupBeams(building);
        ASSERT_EQ(groups.size(), 2u);  // the two heights
        EXPECT_EQ(groups[0].name, "V-101 = V-103 = V-105");
        for (const auto& group : groups) {
            const auto grouped =
                engine::beam::designBeam(engine::building::groupInput(building, group));
            ASSERT_TRUE(std::holds_alternative<engine::beam::BeamDesign>(grouped));
            const auto& design = std::get<engine::beam::BeamDesign>(grouped);
            EXPECT_TRUE(design.passes) << group.name;
            for (const std::size_t member : group.members) {
                const auto alone = engine::beam::designBeam(building.beams[member].input);
                ASSERT_TRUE(std::holds_alternative<engine::beam::BeamDesign>(alone));
                const auto& demand = std::get<engine::beam::BeamDesign>(alone).profile;
                ASSERT_EQ(demand.size(), design.profile.size());
                for (std::size_t i = 0; i < demand.size(); ++i) {
                    const auto& held = design.profile[i];
                    ASSERT_NEAR(held.x, demand[i].x, 1e-9);
                    EXPECT_GE(held.muNeg + 1e-9, demand[i].muNeg);
                    EXPECT_GE(held.muPos + 1e-9, demand[i].muPos);
                    EXPECT_GE(held.vu + 1e-9, demand[i].vu);
                    EXPECT_GE(held.phiMnNeg + 1e-6, demand[i].muNeg) << held.x;
                    EXPECT_GE(held.phiMnPos + 1e-6, demand[i].muPos) << held.x;
                    EXPECT_GE(held.phiVn + 1e-6, demand[i].vu) << held.x;
                }
            }
        }
    }
}

}  // namespace
