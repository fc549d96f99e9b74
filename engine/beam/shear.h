#pragma once

#include <vector>

#include "engine/beam/stations.h"

// The design shear of each span: at the support faces by the capacity of the frame's class
// (DES from Mpr, DMO from Mn, DMI from the gravity load and the end moments at d from the
// face), never less than the analysis shear where the stations give one, and along the span
// as the diagram the uniform load draws between them. Forces in Tn, magnitudes.
namespace engine::beam {

struct SpanShear {
    double d = 0;       // effective depth for shear, cm: the smaller of the two faces'
    double wu = 0;      // Tn/m, 0 where not given
    bool loaded = false;  // wu given
    // The seismic part of the shear adding to the gravity shear at each face: (Mpr− there +
    // Mpr+ at the other end) / ln in DES, with Mn in DMO; 0 in DMI.
    double seismicLeft = 0, seismicRight = 0;
    double left = 0, right = 0;  // the design shear at the faces (DMI: at d from them)
    // DES: Vc = 0 over 2h from the face where the seismic part is at least half of it.
    bool noConcreteLeft = false, noConcreteRight = false;
};

struct ShearDemand {
    std::vector<SpanShear> spans;
    std::vector<double> vu;  // per point of the beam; 0 over the supports
    bool stationShear = false;  // some station gives v
};

// The shear of every span from the strengths at its faces (FaceStation's mn and mpr).
ShearDemand shearDemand(const Beam& beam, const std::vector<FaceStation>& faces);

}  // namespace engine::beam
