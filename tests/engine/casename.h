#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

// Readable names for the cases of a parameterised test, shown by ctest -N. Letters and digits
// are kept and other characters spelt out ('.' p, ',' c, '-' m, '+' plus, blank _); the case's
// position comes first so that texts that read alike still give different names.
inline std::string caseName(std::size_t index, std::string_view text) {
    std::string name = "n" + std::to_string(index);
    if (!text.empty()) name += '_';
    for (unsigned char c : text) {
        if (std::isalnum(c))
            name += static_cast<char>(c);
        else if (c == '.')
            name += 'p';
        else if (c == ',')
            name += 'c';
        else if (c == '-')
            name += 'm';
        else if (c == '+')
            name += "plus";
        else if (c == ' ')
            name += '_';
        else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "x%02X", c);
            name += hex;
        }
    }
    return name;
}

// A gtest name generator from a function that gives the text naming a case.
template <class Case, class Text>
auto namedBy(Text text) {
    return [text](const testing::TestParamInfo<Case>& info) {
        return caseName(info.index, text(info.param));
    };
}
