#pragma once
// Independent LZH readers as judges. They are called by their own names:
// "lha" is whichever of lhasa and jlha the system's alternatives picked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

inline bool haveProgram(const std::string& name) {
    return std::system(("command -v '" + name + "' >/dev/null 2>&1").c_str()) == 0;
}

// Skips the calling test, saying which program is missing, unless all are there.
#define REQUIRE_ORACLES(...)                  \
    for (const char* oracle_ : {__VA_ARGS__}) \
        if (!haveProgram(oracle_)) GTEST_SKIP() << oracle_ << " is not installed; scripts/setup installs it"
