#include "VbError.h"

namespace vexal {

VbError::VbError(int32_t number, std::string description, std::string source)
    : std::runtime_error(description), number_(number), description_(std::move(description)),
      source_(std::move(source))
{
}

std::string VbError::TextOf(int32_t number)
{
    switch (number) {
    case 5: return "Invalid procedure call or argument";
    case 6: return "Overflow";
    case 7: return "Out of memory";
    case 9: return "Subscript out of range";
    case 11: return "Division by zero";
    case 13: return "Type mismatch";
    case 52: return "Bad file name or number";
    case 53: return "File not found";
    case 54: return "Bad file mode";
    case 55: return "File already open";
    case 57: return "Device I/O error";
    case 58: return "File already exists";
    case 61: return "Disk full";
    case 62: return "Input past end of file";
    case 63: return "Bad record number";
    case 70: return "Permission denied";
    case 75: return "Path/File access error";
    case 76: return "Path not found";
    case 91: return "Object variable or With block variable not set";
    case 380: return "Invalid property value";
    case 424: return "Object required";
    case 482: return "Printer error";
    case 32755: return "Cancel.";
    default: return "Application-defined or object-defined error";
    }
}

} // namespace vexal
