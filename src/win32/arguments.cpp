#include "win32/arguments.h"

namespace kinaru::win32 {

namespace {

// The next word from at, or an empty one at the end.
std::wstring nextWord(std::wstring_view line, std::size_t& at) {
    while (at < line.size() && line[at] <= L' ') ++at;
    while (at + 1 < line.size() && line[at] == L'"' && line[at + 1] == L'"') at += 2;
    std::wstring word;
    bool quoted = false;
    while (at < line.size() && (quoted || line[at] > L' ')) {
        if (line[at] == L'"')
            quoted = !quoted;
        else
            word += line[at];
        ++at;
    }
    return word;
}

}  // namespace

std::vector<std::wstring> commandLineWords(std::wstring_view line) {
    std::size_t at = 0;
    nextWord(line, at);  // the program's own name
    std::vector<std::wstring> words;
    for (std::wstring word = nextWord(line, at); !word.empty(); word = nextWord(line, at)) words.push_back(word);
    return words;
}

}  // namespace kinaru::win32
