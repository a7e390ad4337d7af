#include "MessagePrinter.h"

#include <cstdarg>

void MessagePrinter::print(std::FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stream, format, arguments);
    va_end(arguments);
}
