#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/beam/phrase.h"
#include "engine/code.h"
#include "engine/layout.h"

// A continuous beam of one or more spans: the moment envelopes, the longitudinal bars that
// satisfy strength and the detailing rules of its seismic class, cut-offs, hooks and lap
// splices, and the bar schedule with its masses. Units: positions and lengths along the beam in
// m, section dimensions and bar depths in cm, areas in cm2, moments in Tn-m, stresses in kg/cm2.
// Positions along the beam are measured from the outer edge of the first support.
namespace engine::beam {

// The energy-dissipation class of the frame: special, moderate or minimal.
enum class SeismicClass { Des, Dmo, Dmi };

// "DES", "DMO" or "DMI"; and back (exactly as written), none for another text.
std::string_view className(SeismicClass seismicClass);
std::optional<SeismicClass> classFromName(std::string_view name);

// Moments typed for one span, as magnitudes at the support faces and at midspan.
struct SpanMoments {
    double left = 0;                // Mu- at the left face
    double mid = 0;                 // largest Mu+, at midspan
    double right = 0;               // Mu- at the right face
    // Smallest Mu+ at midspan; none: half of `mid`. Negative where the span hogs over its
    // whole length (a short span between long ones): Mu- of that magnitude at midspan.
    std::optional<double> midMin;
    // Mu+ at the faces (sway frames), magnitudes; none: no positive moment at the faces. The
    // positive envelope falls from each straight to nothing at midspan.
    std::optional<double> posLeft, posRight;
    bool operator==(const SpanMoments&) const = default;
};

struct Span {
    double length = 0;  // clear span ln between the support faces, m
    SpanMoments moments;
    // Factored gravity load, uniform over the clear span, Tn/m (1.2 D + 1.0 L under NSR-10,
    // 1.4 D + 1.7 L under NSR-98); none: not given, the stirrups take the seismic shear alone.
    std::optional<double> wu = std::nullopt;
    bool operator==(const Span&) const = default;
};

// One row of a station table as an analysis program exports it.
struct Station {
    int span = 1;     // from 1
    double x = 0;     // m from the span's left face (or from the left support's centreline)
    double mu = 0;    // signed: negative = tension at the top
    std::optional<double> v = std::nullopt;  // the analysis shear, signed, Tn; none: not given
    bool operator==(const Station&) const = default;
};

// The name a beam has when none is given.
inline constexpr std::string_view defaultBeamName = "V-1";

struct BeamInput {
    std::string name{defaultBeamName};  // as the schedule's heading names the beam
    // Where the beam is, as the drawing's title block says it ("Eje B", "Piso 2"); either may
    // be empty. Texts a label can be (validBeamLabel).
    std::string axis, level;
    DesignCode code = DesignCode::Nsr98;
    SeismicClass seismicClass = SeismicClass::Des;
    double b = 0;        // width, cm
    double h = 0;        // total height, cm
    double dPrime = 0;   // bottom face to the centroid of the bottom steel, cm
    double dSecond = 0;  // top face to the centroid of the top steel, cm
    double fc = 0;       // kg/cm2
    double fy = 0;       // kg/cm2
    // Stirrup bar (N° 3 or N° 4; its fy for shear is min(fy, 4200)), clear cover, aggregate, at
    // most two layers.
    LayoutSettings settings;
    int smallestBar = 4;            // bar sizes allowed, N°
    int largestBar = 8;
    double stockLength = 12;        // commercial bar length, m
    std::vector<double> supports;   // width of each support along the beam, cm; spans + 1
    // The width of each support's column across the beam, cm; empty, or spans + 1 values (a
    // value of 0: the support's width, a square column). Hooks take the cover it gives them.
    std::vector<double> columns;
    std::vector<Span> spans;        // left to right
    // When not empty, the moments come from these rows and the spans' typed moments are unused.
    std::vector<Station> stations;
    bool stationsFromCentreline = false;  // x measured from the left support's centreline
    bool operator==(const BeamInput&) const = default;
};

// A name a beam can have: 1 to 40 characters, none of them a control character.
inline constexpr std::size_t longestBeamName = 40;
bool validBeamName(std::string_view name);
// An axis or a level: like a name, but it may be empty.
bool validBeamLabel(std::string_view label);

// The covers a beam of height h can have: both positive and d' + d'' < h (cm). The designer
// refuses others, and the window's fields take exactly these.
bool coversFit(double h, double dPrime, double dSecond);

enum class Side { Left, Right };
enum class BeamFace { Top, Bottom };

// Demand and strength at one support face.
struct FaceStation {
    int span = 1;
    Side side = Side::Left;
    double x = 0;  // m
    double muNeg = 0, muPos = 0;  // envelope magnitudes, Tn-m
    double asTopRequired = 0, asBottomRequired = 0;  // cm2
    double asTop = 0, asBottom = 0;                  // provided and developed there, cm2
    // Nominal and probable (1.25 Fy, phi = 1) strengths with every bar that reaches the face
    // counted whole, as the ratio rules and the capacity shear take them; phiMn with the steel
    // developed there. Tn-m.
    double mnNeg = 0, mnPos = 0;
    double phiMnNeg = 0, phiMnPos = 0;
    double mprNeg = 0, mprPos = 0;
    // Shear at the face, Tn, magnitudes: the design shear (Ve from Mpr in DES, from Mn in DMO,
    // Vu at d from the face in DMI, never less than the analysis shear), Vc as the design takes
    // it there (0 where the seismic shear governs in DES) and φVn of the stirrups there.
    double ve = 0, vc = 0, phiVn = 0;
};

// One bar mark of the schedule: `count` equal bars.
struct BarMark {
    std::string mark;  // "S1", "I2", ... (top "S" superior, bottom "I" inferior)
    BeamFace face = BeamFace::Top;
    int bar = 4;       // N°
    int count = 0;
    double start = 0, end = 0;   // ends of the straight part after rounding, m
    bool hookStart = false, hookEnd = false;  // standard 90° hook at either end
    // As the bender reads it, in whole cm: the straight length out to out (to the outer faces
    // of the hooks' legs), and of each hook the inside bend diameter and the leg out to out
    // (0 without hooks).
    double straight = 0, bend = 0, leg = 0;
    // The bar each hook takes past the straight part's end as cut (bend and leg), cm, 0 without
    // hooks: the drawings draw the leg this long, so that a bar's line is as long as the bar.
    double hookTail = 0;
    int layer = 1;               // 1 nearest the face
    double depth = 0;            // bar centre from its own face, cm
    double length = 0;           // one bar as cut, bends included, whole cm, in m
    double mass = 0;             // the whole mark, kg
    bool continuous = false;     // part of the bars that run along the whole beam
};

// The envelopes and the strength the bars give, every 5 cm and at each face.
struct ProfilePoint {
    double x = 0;  // m
    double muNeg = 0, muPos = 0;  // magnitudes, Tn-m
    double mnNeg = 0, mnPos = 0;
    double phiMnNeg = 0, phiMnPos = 0;
    double vu = 0, phiVn = 0;  // shear envelope and φVn of the stirrups there, magnitudes, Tn
};

// One stirrup mark of the schedule: `count` equal pieces along the whole beam. Hoops are closed
// with 135° seismic hooks; a crosstie has a 135° hook at one end and a 90° hook at the other.
enum class StirrupKind { Hoop, Crosstie };
struct StirrupMark {
    std::string mark;  // "E1", "E2", ... for hoops, "C1", ... for crossties
    StirrupKind kind = StirrupKind::Hoop;
    int bar = 3;       // N°
    int legs = 2;      // vertical legs one piece gives at a section (hoop 2, crosstie 1)
    int count = 0;     // pieces along the whole beam
    // Outside dimensions, whole cm (a crosstie: its width is 0 and its height out to out), the
    // hook's extension past the bend and the inside bend diameter, cm.
    double width = 0, height = 0, hook = 0, bend = 0;
    double length = 0;  // one piece as cut, bends and hooks included, m (whole cm)
    double mass = 0;    // the whole mark, kg
};

// A run of stirrups of one mark at one spacing, as the site reads it: "1 a 0.05, 11 a 0.10,
// resto a 0.20". Zones of a span meet without gaps; crossties in a zone are a zone of their own
// mark at the same places.
enum class ZoneKind { Confinement, Lap, Rest };  // "confinamiento", "traslapo", "resto"
struct StirrupZone {
    int span = 1;
    std::string mark;
    ZoneKind kind = ZoneKind::Rest;
    // m along the beam: the first and the last piece of the zone; its pieces lie evenly between
    // them, `spacing` apart or, in the zone that fills the middle of a span, a little closer.
    double start = 0, end = 0;
    double spacing = 0;         // cm, whole: the largest the zone allows
    int count = 0;
};

// Where a check applies. Its text (see placeText) is "Vano 2" for a span, "Vano 2, apoyo
// derecho" for a support face, "Apoyo 3" for a support ("Apoyo" when it is not known), "Vano 2,
// x = 3.45 m" or "Apoyo 3, x = 12.40 m" for a point, and nothing for the whole beam.
struct Place {
    enum class Kind { Beam, Span, Face, Support, Point };
    Kind kind = Kind::Beam;
    int span = 0;     // from 1: the span of a Span, a Face or a Point in a span; else 0
    Side side = Side::Left;  // of a Face
    int support = 0;  // from 1: the support of a Support or a Point over one; 0 when not known
    std::optional<double> x;  // m along the beam where the check was made; a Point's text shows it
};

// The rule a check holds the design to.
enum class CheckRule {
    Strength,          // φMn >= Mu at the worst point of each face of a span
    MinimumSteel,      // As >= ρmín b d
    MaximumRatio,      // ρ <= 0.025 (DES, DMO)
    FaceMoment,        // Mn+ >= 1/2 (DES) or 1/3 (DMO) Mn− at a support face
    SpanMoment,        // Mn anywhere >= 1/4 (DES) or 1/5 (DMO) of the largest at the faces
    ContinuousBars,    // two bars at least run along the whole beam on each face
    ContinuousBottom,  // the continuous bottom bars give 1/4 of the span's bottom steel
    SpanLength,        // DES: ln >= 4 d
    Width,             // DES: b >= min(0.3 h, 25 cm); DMO: b >= 20 cm
    SupportWidth,      // DES: an interior support at least 20 db of the bars through it
    Fit,               // the bars of each layer fit in the width
    Lap,               // class B lap length, in a span, in DES clear of 2h from the faces
    HookLength,        // ldh within an outer support
    DeepBeam,          // DMO, DMI: ln >= 4 h, else a deep beam (C.10.7)
    MinimumDepth,      // h >= ln / 16, 18.5 or 21 by the continuous ends (C.9.5)
    TopCutOff,         // a top bar cut where Mu− acts: the bars going on give twice the need
    // Shear (the stirrups):
    ShearStrength,     // φVn >= Vu at every station
    StirrupSpacing,    // s within the limit of its zone (d/2, d/4, the hoop zone's, laps')
    MinimumStirrups,   // Av >= Av,min wherever Vu > 1/2 φVc
    ShearSection,      // Vs <= 2.1 √f'c bw d
    ConcreteShear,     // Vc = 0 over 2h from the faces where the seismic shear governs (DES)
    FirstHoop,         // the first hoop at most 5 cm from the face
    Crossties,         // no bar in a hoop zone more than 15 cm clear from a supported one
    CutOffShear,       // a bar cut in a tension zone: Vu <= 2/3 φVn there (or its options)
};

// The key of a rule as the JSON and the tests name it: "resistencia", "acero-minimo",
// "cuantia-maxima", "momento-en-cara", "momento-en-vano", "barras-continuas",
// "continuas-inferiores", "geometria-luz", "geometria-ancho", "apoyo-20db", "ajuste",
// "traslapo", "ldh", "viga-alta", "altura-minima", "corte-superior"; for the stirrups
// "cortante", "separacion-estribos", "estribos-minimos", "limite-cortante", "vc-nulo",
// "primer-estribo", "ganchos-suplementarios", "corte-cortante".
std::string_view ruleKey(CheckRule rule);

// The article of the code a check applies, as the texts cite it ("C.21.5.2.2"): it depends on
// the code and, for the seismic rules, on the class.
std::string_view ruleArticle(CheckRule rule, DesignCode code, SeismicClass seismicClass);

// A check of the design: its rule, its place, whether it passes and its figures. checkText
// composes the words.
struct Check {
    CheckRule rule = CheckRule::Strength;
    Place place;
    bool passes = false;
    // The figure checked and the limit it is held to, in the rule's unit: Tn-m (strength and
    // moment shares), cm2 (steel), a ratio, m (span length, lap), cm (widths, ldh).
    double value = 0;
    double limit = 0;
    BeamFace face = BeamFace::Top;  // strength, steel, ratio, fit: the face (top: Mu−)
    int share = 0;                  // moment shares: the denominator (2, 3, 4 or 5)
    // ContinuousBars: `count` N° `bar` on top and `bottomCount` N° `bottomBar` below; Lap: the
    // lapped bars; HookLength: the bar needing the longest hook; Crossties: `count` a hoop;
    // CutOffShear: which condition of the cut holds (see cutOffShareOfStrength in rules.h).
    int count = 0, bar = 0, bottomCount = 0, bottomBar = 0;
    std::string firstMark, secondMark;  // Lap: the two pieces; TopCutOff: the bar cut
    double from = 0, to = 0;            // Lap: where the pieces overlap, m
    // The DES form of the rule: Width, mín(0.3 h, 25 cm) rather than DMO's 20 cm; Lap, the
    // clause "clear of 2h from the faces".
    bool desForm = false;    // HookLength: ldh before the factor 0.7 of the covers (0: no factor); where the hook does
    // not fit, the smaller bar (N°, 0: none) and the support width (cm, 0: none) that fit.
    double hookUnreduced = 0;
    int remedyBar = 0;
    double remedySupport = 0;
    std::string_view article;  // as ruleArticle gives it for the design's code and class
    ZoneKind zone = ZoneKind::Rest;  // StirrupSpacing: the zone whose limit applies
};

struct BeamDesign {
    std::string name;  // the input's, for the schedule's heading
    DesignCode code = DesignCode::Nsr98;
    SeismicClass seismicClass = SeismicClass::Des;
    // The section, materials and placing the heading states: cm, kg/cm2.
    double b = 0, h = 0, fc = 0, fy = 0;
    LayoutSettings settings;
    double length = 0;  // overall, outer edge to outer edge, m
    std::vector<double> faceX;  // x of every support face, left to right (2 per span), m
    std::vector<FaceStation> faces;
    std::vector<BarMark> bars;
    std::vector<StirrupMark> stirrups;
    std::vector<StirrupZone> zones;  // by span, left to right along each span
    std::vector<ProfilePoint> profile;
    std::vector<Check> checks;
    std::map<int, double> massByBar;  // N° -> kg, longitudinal bars and stirrups
    double totalMass = 0;             // kg, longitudinal bars and stirrups
    double stirrupMass = 0;           // kg, the stirrups' share of totalMass
    double concrete = 0;              // m3, the spans (clear lengths) only
    double steelPerConcrete = 0;      // kg/m3
    std::vector<Phrase> notes;        // assumptions the schedule states (noteText)
    bool passes = false;              // every check passes
};

// Why a beam has no design: an input no beam can have (no spans, a support missing, a station
// outside its span, a value not positive), or a beam of possible inputs that no arrangement of
// bars satisfies (the section too small, too much steel, bars that do not fit).
enum class BeamErrorKind { Input, Unsatisfiable };

// An input no beam can have, or a beam no arrangement satisfies: the message (errorText) names
// the rule and the place, e.g. "Vano 2, apoyo derecho: ρ = 0.031 > 0.025; aumente b o h".
struct BeamError {
    Phrase message;
    BeamErrorKind kind = BeamErrorKind::Unsatisfiable;
};

using BeamOutcome = std::variant<BeamDesign, BeamError>;

BeamOutcome designBeam(const BeamInput& input);

// Development length of a straight bar N° `bar` in tension, cm: the MPa expressions through
// 1 kg/cm2 = 0.0980665 MPa, sqrt(f'c) at most 8.3 MPa, psi_e = lambda = 1; the favourable divisors
// (2.1 up to N° 6, 1.7 above) when the clear spacing and the clear cover are at least db (with
// stirrups assumed along ld), else 1.4 and 1.1; 1.3 for a top bar; at least 30 cm.
double developmentLength(double fc, double fy, int bar, bool topBar, double clearSpacing,
                         double clearCover);

// Development length of a standard 90° hook, cm: 0.24 fy db / sqrt(f'c) in MPa, in DES
// fy db / (5.4 sqrt(f'c)); times `factor` (0.7 where the covers allow it); at least 8 db and
// 15 cm.
double hookDevelopmentLength(double fc, double fy, int bar, SeismicClass seismicClass,
                             double factor = 1);

}  // namespace engine::beam
