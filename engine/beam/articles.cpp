#include "engine/beam/beam.h"

// The article each check applies, as the texts cite it. Beams of special (DES) frames follow
// C.21.5 under NSR-10 and C.21.3 under NSR-98, those of moderate (DMO) frames C.21.3 under
// NSR-10; NSR-98's moderate frames are cited by their chapter. Shear under NSR-98 keeps the
// older numbering of chapter C.11 (C.11.3 for Vc, C.11.5 for the stirrups).
namespace engine::beam {

namespace {

struct Articles {
    std::string_view nsr10Des, nsr10Dmo, nsr10Dmi;
    std::string_view nsr98Des, nsr98Dmo, nsr98Dmi;
};

// The same article for every class of one code.
constexpr Articles everywhere(std::string_view nsr10, std::string_view nsr98) {
    return {nsr10, nsr10, nsr10, nsr98, nsr98, nsr98};
}

Articles articles(CheckRule rule) {
    switch (rule) {
        case CheckRule::Strength:
            return everywhere("C.9.1.1", "C.9.1.1");
        case CheckRule::MinimumSteel:
            return everywhere("C.10.5.1", "C.10.5.1");
        case CheckRule::MaximumRatio:
            return {"C.21.5.2.1", "C.21.3.4", "C.10.3.5", "C.21.3.2.1", "C.21 (DMO)", "C.10.3.3"};
        case CheckRule::ContinuousBars:
            return {"C.21.5.2.1", "C.21.3.4", "C.7.13.2", "C.21.3.2.1", "C.21 (DMO)", "C.7.13.2"};
        case CheckRule::FaceMoment:
        case CheckRule::SpanMoment:
            return {"C.21.5.2.2", "C.21.3.4", "C.21.3.4", "C.21.3.2.2", "C.21 (DMO)", "C.21 (DMO)"};
        case CheckRule::ContinuousBottom:
            return everywhere("C.12.11.1", "C.12.11.1");
        case CheckRule::SpanLength:
            return {"C.21.5.1.2", "C.21.5.1.2", "C.21.5.1.2", "C.21.3.1.2", "C.21.3.1.2",
                    "C.21.3.1.2"};
        case CheckRule::Width:
            return {"C.21.5.1.3", "C.21.3.4", "C.21.3.4", "C.21.3.1.3", "C.21 (DMO)",
                    "C.21 (DMO)"};
        case CheckRule::SupportWidth:
            return everywhere("C.21.7.2.3", "C.21.5.1.4");
        case CheckRule::Fit:
            return everywhere("C.7.6.1", "C.7.6.1");
        case CheckRule::Lap:
            return {"C.21.5.2.3", "C.12.15.1", "C.12.15.1", "C.21.3.2.3", "C.12.15.1",
                    "C.12.15.1"};
        case CheckRule::HookLength:
            return {"C.21.7.5.1", "C.12.5", "C.12.5", "C.21.5.4.1", "C.12.5", "C.12.5"};
        case CheckRule::DeepBeam:
            return everywhere("C.10.7", "C.10.7");
        case CheckRule::MinimumDepth:
            return everywhere("C.9.5.2.1", "C.9.5.2.1");
        case CheckRule::TopCutOff:
        case CheckRule::CutOffShear:
            return everywhere("C.12.10.5", "C.12.10.5");
        case CheckRule::ShearStrength:
            return everywhere("C.11.1.1", "C.11.1.1");
        case CheckRule::StirrupSpacing:
            return {"C.21.5.3.2", "C.21.3.4", "C.11.4.5", "C.21.3.3.2", "C.21 (DMO)", "C.11.5.4"};
        case CheckRule::MinimumStirrups:
            return everywhere("C.11.4.6.3", "C.11.5.5.3");
        case CheckRule::ShearSection:
            return everywhere("C.11.4.7.9", "C.11.5.6.8");
        case CheckRule::ConcreteShear:
            return everywhere("C.21.5.4.2", "C.21.3.4.2");
        case CheckRule::FirstHoop:
            return {"C.21.5.3.2", "C.21.3.4", "C.11.4.5", "C.21.3.3.2", "C.21 (DMO)", "C.11.5.4"};
        case CheckRule::Crossties:
            return everywhere("C.21.5.3.3", "C.21.3.3.3");
    }
    return {};
}

}  // namespace

std::string_view ruleArticle(CheckRule rule, DesignCode code, SeismicClass seismicClass) {
    const Articles a = articles(rule);
    const bool nsr10 = code == DesignCode::Nsr10;
    switch (seismicClass) {
        case SeismicClass::Des:
            return nsr10 ? a.nsr10Des : a.nsr98Des;
        case SeismicClass::Dmo:
            return nsr10 ? a.nsr10Dmo : a.nsr98Dmo;
        case SeismicClass::Dmi:
            return nsr10 ? a.nsr10Dmi : a.nsr98Dmi;
    }
    return {};
}

}  // namespace engine::beam
