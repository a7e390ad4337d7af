#pragma once

#include <cstddef>
#include <string>

namespace mayahost {

// One token of MEL text, with where it starts (line and column from 1).
struct MelToken {
    enum class Kind {
        End,       // end of the text
        Error,     // text no token can start with; `text` says why
        Name,      // identifier: keywords, procedure and command names
        Variable,  // $name; `text` keeps the '$'
        Int,
        Float,
        String,  // `text` holds the decoded contents
        Flag,    // command syntax only: -name; `text` keeps the '-'
        Word,    // command syntax only: a bare word such as time1.outTime or ..
        Punct    // operators and punctuation; `text` is the symbol
    };

    Kind kind = Kind::End;
    std::string text;
    long long intValue = 0;
    double floatValue = 0.0;
    int line = 1;
    int column = 1;
    std::size_t begin = 0;  // offsets into the text: [begin, end)
    std::size_t end = 0;
    bool spaceBefore = false;  // blanks or comments right before it

    bool is(Kind k, const char* t) const { return kind == k && text == t; }
    bool isPunct(const char* t) const { return is(Kind::Punct, t); }
    bool isName(const char* t) const { return is(Kind::Name, t); }
};

}  // namespace mayahost
