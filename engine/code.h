#pragma once

#include <string_view>

namespace engine {

// The design code a calculation follows. NSR-98 is the default: every figure and text of an
// NSR-98 run stays as it has always been.
enum class DesignCode { Nsr98, Nsr10 };

// "NSR-98" or "NSR-10", as menus, reports and files name the code.
constexpr std::string_view codeName(DesignCode code) {
    return code == DesignCode::Nsr10 ? "NSR-10" : "NSR-98";
}

}  // namespace engine
