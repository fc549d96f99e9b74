#include "engine/arrangementtext.h"

namespace engine {

ParsedArrangement parseArrangement(std::string_view text) {
    ParsedArrangement parsed;
    for (;;) {
        const std::size_t slash = text.find('/');
        const ParsedLayer layer = parseLayer(text.substr(0, slash));
        if (!layer.ok()) {
            parsed.error = layer.error;
            parsed.arrangement = {};
            return parsed;
        }
        parsed.arrangement.layers.push_back(layer.layer);
        if (slash == std::string_view::npos) return parsed;
        text.remove_prefix(slash + 1);
    }
}

}  // namespace engine
