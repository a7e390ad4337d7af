#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "MelToken.h"

namespace mayahost {

// Splits MEL text into tokens on demand. MEL reads the words of a command differently from an
// expression (`setParent ..`, `connectAttr a.b c.d`, `move -2 1`), so the parser says which
// reading it wants at each point. The lexer keeps no position of its own: it reads the token
// that starts at or after an offset, so the parser can back up freely.
class MelLexer {
public:
    enum class Mode { Expression, Command };

    // `text` must outlive the lexer.
    explicit MelLexer(const std::string& text);

    // The token at or after `offset`, skipping blanks, comments and line continuations.
    MelToken next(std::size_t offset, Mode mode) const;

    // Line and column (both from 1) of an offset.
    void position(std::size_t offset, int& line, int& column) const;

    const std::string& text() const { return text_; }

private:
    // Offset of the first character that is not a blank or inside a comment; `error` is set
    // for a comment left open.
    std::size_t skipBlanks(std::size_t offset, std::string& error) const;
    void number(MelToken& token, std::size_t from, Mode mode) const;
    void string(MelToken& token, std::size_t from) const;
    void punct(MelToken& token, std::size_t from) const;
    std::size_t wordEnd(std::size_t from) const;
    MelToken make(MelToken::Kind kind, std::size_t begin, std::size_t end) const;

    const std::string& text_;
    std::vector<std::size_t> lineStarts_;
};

}  // namespace mayahost
