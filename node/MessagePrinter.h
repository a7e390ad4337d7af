#pragma once

#include <cstdio>

// Prints a looked-up message text, which is itself the printf format (a localized table may
// move or repeat its directives). Kept apart so no call site passes a non-literal format.
class MessagePrinter {
public:
    static void print(std::FILE* stream, const char* format, ...);

    MessagePrinter() = delete;
};
