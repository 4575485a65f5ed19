#pragma once
// The command language: "a -x1 -jm2 -w/tmp/ archive.lzh item ...".
#include <string>
#include <vector>

#include "archive/archive.h"

namespace command {

// Splits a command text into words: blanks separate, a double-quoted
// stretch belongs to one word (quotes removed), even inside a word.
std::vector<std::string> splitWords(const std::string& text);

// Reads command, switches, archive and items. Throws lzh::Error with
// UNLHA_ERR_COMMAND or UNLHA_ERR_SWITCH.
archive::Options parse(const std::vector<std::string>& words);

// Runs any command, s included; returns 0 or an UNLHA_ERR_* code.
int run(const archive::Options& opt, std::string& text);

}  // namespace command
