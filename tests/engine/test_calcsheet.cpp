#include <gtest/gtest.h>

#include <string>

#include "beaminputs.h"
#include "engine/beam/calcsheet.h"

namespace {

namespace eb = engine::beam;

// A beam driven by stations: the spans table counts each span's stations and those with a
// shear instead of showing the typed moments, which the design does not use, and a note says
// where x is measured from; a span without a load shows it as not given.
TEST(BeamSheet, StationsCountedPerSpanAndLoadsAsGiven) {
    eb::BeamInput input = beaminputs::beam(engine::DesignCode::Nsr10, eb::SeismicClass::Dmo,
                                           {40, 50, 40}, {{5, {}, 3.5}, {4, {}}});
    input.axis = "Eje 3";
    input.stations = {{1, 0, -8, 10.5}, {1, 0, -5, -2}, {1, 2.5, 6}, {2, 0, -7}, {2, 4, -6, 9}};
    input.stationsFromCentreline = true;
    const eb::BeamSheet sheet = eb::beamSheet(eb::BeamDesign{}, input, "", ',');
    EXPECT_EQ(sheet.title, "Viga V-1, Eje 3");
    EXPECT_EQ(sheet.project, "Proyecto: sin nombre");
    EXPECT_EQ(sheet.codeAndClass,
              "Norma NSR-10, capacidad moderada de disipación de energía (DMO)");
    ASSERT_EQ(sheet.spans.rows.size(), 2u);
    EXPECT_EQ(sheet.spans.header.back(), "Con cortante\nv");
    EXPECT_EQ(sheet.spans.rows[0],
              (std::vector<std::string>{"1", "5,00", "40", "50", "3,50", "3", "2"}));
    EXPECT_EQ(sheet.spans.rows[1],
              (std::vector<std::string>{"2", "4,00", "50", "40", "—", "2", "1"}));
    ASSERT_EQ(sheet.spansNotes.size(), 2u);
    EXPECT_NE(sheet.spansNotes[1].find("5 filas, con x medida desde el eje del apoyo izquierdo"),
              std::string::npos);
}

}  // namespace
