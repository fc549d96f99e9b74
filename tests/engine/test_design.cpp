#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/design.h"

namespace {

using engine::DesignError;
using engine::DesignInput;
using engine::nsr98::DesignResult;
using engine::SectionKind;

DesignInput input(double b, double h, double dPrime, double fc, double fy, double mu,
                  double dSecond) {
    return DesignInput{b, h, dPrime, fc, fy, mu, dSecond};
}

// The defaults of the main window: b 100, h 15, d' 5, f'c 210, Fy 4200, Mu 1, d'' 5.
DesignInput defaults(double mu = 1, double dSecond = 5) {
    return input(100, 15, 5, 210, 4200, mu, dSecond);
}

DesignResult resultOf(const DesignInput& in) {
    const engine::nsr98::DesignOutcome outcome = engine::nsr98::design(in);
    if (const auto* error = std::get_if<DesignError>(&outcome)) {
        ADD_FAILURE() << "unexpected error " << static_cast<int>(*error);
        return {};
    }
    return std::get<DesignResult>(outcome);
}

struct Expected {
    const char* name;
    double DesignResult::*member;
    double value;
    double tolerance;  // half a unit of the last digit given
};

struct ExampleCase {
    const char* name;
    DesignInput in;
    SectionKind kind;
    std::vector<Expected> values;
};

void PrintTo(const ExampleCase& c, std::ostream* os) {
    *os << c.name;
}

class DesignExamples : public testing::TestWithParam<ExampleCase> {};

TEST_P(DesignExamples, MatchTheWorkedFigures) {
    const ExampleCase& c = GetParam();
    const DesignResult r = resultOf(c.in);
    EXPECT_EQ(r.kind, c.kind);
    for (const Expected& e : c.values) {
        EXPECT_NEAR(r.*(e.member), e.value, e.tolerance) << e.name;
    }
    if (c.kind == SectionKind::Singly) {
        EXPECT_EQ(r.asPrime, 0);
    }
}

using R = DesignResult;

INSTANTIATE_TEST_SUITE_P(
    Worked, DesignExamples,
    testing::Values(
        ExampleCase{"SinglyMinimumGoverns",
                    defaults(1),
                    SectionKind::Singly,
                    {{"d", &R::d, 10, 0},
                     {"Ku", &R::ku, 0.01, 1e-17},
                     {"alfa", &R::alfa, 0.7225, 0},
                     {"beta", &R::beta, 0.425, 0},
                     {"rho", &R::rho, 0.0027334, 5e-8},
                     {"rhoMax", &R::rhoMax, 0.0159375, 1e-17},
                     {"rhoMin", &R::rhoMin, 0.0033333, 5e-8},
                     {"rhoB", &R::rhoB, 0.02125, 1e-17},
                     {"kMax", &R::kMax, 0.0489480, 5e-8},
                     {"mMax", &R::mMax, 4.8948, 5e-5},
                     {"deltaM", &R::deltaM, 1 - 4.8948046875, 1e-12},
                     {"as", &R::as, 3.3333, 5e-5}}},
        ExampleCase{"Doubly",
                    defaults(5),
                    SectionKind::Doubly,
                    {{"Ku", &R::ku, 0.05, 1e-17},
                     {"deltaM", &R::deltaM, 0.10520, 5e-6},
                     {"asPrime", &R::asPrime, 0.55659, 5e-6},
                     {"as", &R::as, 16.49409, 5e-6},
                     {"rho above rhoMax", &R::rho, 0.0163866, 5e-8}}},
        ExampleCase{"DoublyLeverArmUsesDSecond",
                    defaults(6, 4),
                    SectionKind::Doubly,
                    {{"asPrime", &R::asPrime, 4.87300, 5e-6}, {"as", &R::as, 20.81050, 5e-6}}},
        ExampleCase{"StrongConcreteRootGoverns",
                    input(30, 50, 5, 350, 4200, 40, 5),
                    SectionKind::Singly,
                    {{"d", &R::d, 45, 0},
                     {"alfa", &R::alfa, 0.6825, 5e-15},
                     {"beta", &R::beta, 0.4, 5e-15},
                     {"rhoMin", &R::rhoMin, 0.0035635, 5e-8},
                     {"mMax", &R::mMax, 47.414, 5e-4},
                     {"as", &R::as, 27.4577, 5e-5}}},
        ExampleCase{"FcAt280KeepsTheConstants",
                    input(100, 15, 5, 280, 4200, 1, 5),
                    SectionKind::Singly,
                    {{"alfa", &R::alfa, 0.7225, 0}, {"beta", &R::beta, 0.425, 0}}},
        ExampleCase{"FcAt281Reduces",
                    input(100, 15, 5, 281, 4200, 1, 5),
                    SectionKind::Singly,
                    {{"alfa", &R::alfa, 0.72192857142857, 5e-14},
                     {"beta", &R::beta, 0.42464285714286, 5e-14}}},
        // Beta 1 has its floor of 0.65 at 560 kg/cm2: stronger concrete keeps those factors.
        ExampleCase{"VeryStrongConcreteKeepsThe560Factors",
                    input(100, 60, 5, 2000, 4200, 1, 5),
                    SectionKind::Singly,
                    {{"alfa", &R::alfa, 0.5625, 1e-15}, {"beta", &R::beta, 0.325, 1e-15}}}),
    [](const testing::TestParamInfo<ExampleCase>& info) { return std::string(info.param.name); });

TEST(Design, FactorsStopAt560) {
    const auto at = [](double fc) { return resultOf(input(30, 50, 5, fc, 4200, 10, 5)); };
    const DesignResult r559 = at(559.9), r560 = at(560), r561 = at(561), r1e6 = at(1e6);
    EXPECT_GT(r559.alfa, r560.alfa);
    EXPECT_GT(r559.beta, r560.beta);
    for (const DesignResult& r : {r561, r1e6}) {
        EXPECT_EQ(r.alfa, r560.alfa);
        EXPECT_EQ(r.beta, r560.beta);
        EXPECT_GT(r.rhoMax, 0);
        EXPECT_GT(r.as, 0);
    }
}

TEST(Design, ZeroCoversAreValid) {
    // Only negative covers are impossible; a bar centroid on the face is an edge case, not an
    // error.
    EXPECT_EQ(resultOf(input(100, 15, 0, 210, 4200, 1, 0)).d, 15);
}

TEST(Design, ZeroMomentUsesTheMinimumRatio) {
    const DesignResult r = resultOf(defaults(0));
    EXPECT_EQ(r.rho, 0);
    EXPECT_EQ(r.kind, SectionKind::Singly);
    EXPECT_EQ(r.as, r.rhoMin * 100 * 10);
}

TEST(Design, DiscriminantExactlyZeroGivesInverseOfM) {
    // 8.0325 Tn-m on the default section makes 2 m Ku 1000 / phi / Fy exactly 1.
    const DesignResult r = resultOf(defaults(8.0325));
    EXPECT_EQ(r.rho, 1 / r.m);
    EXPECT_DOUBLE_EQ(r.rho, 0.0425);
}

TEST(Design, NegativeDiscriminantTakesRhoMax) {
    for (double mu : {std::nextafter(8.0325, 100.0), 20.0, 1e6}) {
        const DesignResult r = resultOf(defaults(mu, 2));
        EXPECT_EQ(r.rho, r.rhoMax) << mu;
        EXPECT_EQ(r.kind, SectionKind::Doubly) << mu;
    }
}

TEST(Design, KuEqualToKmaxIsSingly) {
    // Ku = Mu / 100 on the default section; these two moments straddle Kmax by one step.
    const DesignResult equal = resultOf(defaults(4.894804687500001));
    ASSERT_EQ(equal.ku, equal.kMax);
    EXPECT_EQ(equal.kind, SectionKind::Singly);
    EXPECT_EQ(equal.asPrime, 0);

    const DesignResult above = resultOf(defaults(4.8948046875000015));
    ASSERT_GT(above.ku, above.kMax);
    EXPECT_EQ(above.kind, SectionKind::Doubly);
    EXPECT_GT(above.asPrime, 0);
}

TEST(Design, RequiredRatioAboveMinimumIsUsed) {
    const DesignResult r = resultOf(defaults(3));
    ASSERT_GT(r.rho, r.rhoMin);
    EXPECT_EQ(r.as, r.rho * 100 * 10);
}

TEST(Design, SinglySectionIgnoresDSecond) {
    // d'' is only the lever arm of compression steel; a singly section never looks at it.
    const DesignResult r = resultOf(defaults(1, 50));
    EXPECT_EQ(r.kind, SectionKind::Singly);
    EXPECT_EQ(r.as, resultOf(defaults(1, 5)).as);
}

struct ErrorCase {
    const char* name;
    DesignInput in;
    DesignError error;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class DesignErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(DesignErrors, ReturnsTheErrorAndNoResult) {
    const engine::nsr98::DesignOutcome outcome = engine::nsr98::design(GetParam().in);
    ASSERT_TRUE(std::holds_alternative<DesignError>(outcome));
    EXPECT_EQ(std::get<DesignError>(outcome), GetParam().error);
}

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    All, DesignErrors,
    testing::Values(
        ErrorCase{"HeightEqualToCover", input(100, 5, 5, 210, 4200, 1, 5), DesignError::Cover},
        ErrorCase{"HeightBelowCover", input(100, 4, 5, 210, 4200, 1, 5), DesignError::Cover},
        ErrorCase{"NegativeHeight", input(100, -15, 5, 210, 4200, 1, 5), DesignError::Cover},
        // The cover check comes first, before any division.
        ErrorCase{"CoverBeforeZeroWidth", input(0, 5, 5, 210, 4200, 1, 5), DesignError::Cover},
        ErrorCase{"DoublyDEqualToCover", input(100, 10, 5, 210, 4200, 5, 5),
                  DesignError::EffectiveDepth},
        ErrorCase{"DoublyDBelowCover", input(100, 9, 5, 210, 4200, 5, 1),
                  DesignError::EffectiveDepth},
        ErrorCase{"DoublyDEqualToDSecond", input(100, 15, 5, 210, 4200, 5, 10),
                  DesignError::EffectiveDepth},
        ErrorCase{"DoublyDSecondBelowTensionSteel", input(100, 15, 5, 210, 4200, 5, 12),
                  DesignError::EffectiveDepth},
        ErrorCase{"ZeroWidth", input(0, 15, 5, 210, 4200, 1, 5), DesignError::InvalidInput},
        ErrorCase{"ZeroWidthZeroMoment", input(0, 15, 5, 210, 4200, 0, 5),
                  DesignError::InvalidInput},
        ErrorCase{"NegativeWidth", input(-100, 15, 5, 210, 4200, 1, 5), DesignError::InvalidInput},
        ErrorCase{"ZeroFc", input(100, 15, 5, 0, 4200, 1, 5), DesignError::InvalidInput},
        ErrorCase{"NegativeFc", input(100, 15, 5, -210, 4200, 1, 5), DesignError::InvalidInput},
        ErrorCase{"ZeroFy", input(100, 15, 5, 210, 0, 1, 5), DesignError::InvalidInput},
        ErrorCase{"FyMinus6000", input(100, 15, 5, 210, -6000, 1, 5), DesignError::InvalidInput},
        ErrorCase{"NegativeCover", input(100, 15, -1, 210, 4200, 1, 5), DesignError::InvalidInput},
        ErrorCase{"NegativeDSecond", input(100, 15, 5, 210, 4200, 1, -1),
                  DesignError::InvalidInput},
        ErrorCase{"NegativeMoment", input(100, 15, 5, 210, 4200, -1, 5), DesignError::InvalidInput},
        // The number check comes first, then the cover, then the impossible values.
        ErrorCase{"NaNBeforeNegativeWidth", input(-100, 15, 5, 210, 4200, nan, 5),
                  DesignError::Arithmetic},
        ErrorCase{"CoverBeforeNegativeMoment", input(100, 5, 5, 210, 4200, -1, 5),
                  DesignError::Cover},
        ErrorCase{"OverflowingMoment", input(100, 15, 5, 210, 4200, 1e308, 5),
                  DesignError::Arithmetic},
        ErrorCase{"InfiniteInput", input(100, 15, 5, 210, 4200, inf, 5), DesignError::Arithmetic},
        ErrorCase{"NaNHeight", input(100, nan, 5, 210, 4200, 1, 5), DesignError::Arithmetic},
        ErrorCase{"NaNDSecond", input(100, 15, 5, 210, 4200, 1, nan), DesignError::Arithmetic}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

// Independent check: for a singly reinforced section designed by the required ratio, the
// internal couple of the steel must carry the factored moment.
TEST(DesignProperty, SinglyAsSatisfiesEquilibrium) {
    std::mt19937_64 random(20240611);
    auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        const double b = uniform(15, 120);
        const double dPrime = uniform(2, 10);
        const double h = dPrime + uniform(10, 150);
        const double fc = uniform(140, 560);
        const double fy = uniform(2400, 5200);
        const DesignResult unloaded = resultOf(input(b, h, dPrime, fc, fy, 0, dPrime));
        const double mu = uniform(0, 1.2) * unloaded.mMax;
        const DesignResult r = resultOf(input(b, h, dPrime, fc, fy, mu, dPrime));
        const double disc = 1 - 2 * r.m * r.ku * 1000 / engine::phi / fy;
        if (r.kind != SectionKind::Singly || r.rho < r.rhoMin || disc < 0) continue;
        ++checked;
        const double a = r.as * fy / (0.85 * fc * b);
        const double resisted = engine::phi * r.as * fy * (r.d - a / 2);
        ASSERT_NEAR(resisted / (mu * 1e5), 1, 1e-9)
            << "b " << b << " h " << h << " d' " << dPrime << " f'c " << fc << " Fy " << fy
            << " Mu " << mu;
    }
    EXPECT_GT(checked, 5000);
}

}  // namespace
