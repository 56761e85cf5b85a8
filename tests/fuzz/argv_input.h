// A command line from fuzz input, for the option parsers: the first byte sizes the
// reason buffer (down to none), the rest split at NUL bytes into the arguments after
// the program's name.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

struct ArgvInput {
    std::vector<std::string> words;
    std::vector<const char*> argv;
    std::size_t errorSize = 0;
    std::vector<char> error;  // errorSize bytes and a guard byte after them

    ArgvInput(const std::uint8_t* data, std::size_t size, const char* program) {
        errorSize = size > 0 ? data[0] % 80 : 0;
        error.assign(errorSize + 1, 'x');
        words.push_back(program);
        std::string word;
        for (std::size_t i = 1; i < size && words.size() < 64; ++i) {
            if (data[i] == 0) {
                words.push_back(word);
                word.clear();
            } else {
                word += char(data[i]);
            }
        }
        if (size > 1) words.push_back(word);
        for (const std::string& w : words) argv.push_back(w.c_str());
    }

    int argc() const { return int(argv.size()); }

    // The reason stays inside its buffer, terminated, and is given on failure.
    void CheckError(bool parsed) const {
        if (error[errorSize] != 'x') std::abort();
        if (errorSize > 0 && std::memchr(error.data(), '\0', errorSize) == nullptr) std::abort();
        if (!parsed && errorSize > 1 && error[0] == '\0') std::abort();
    }
};
