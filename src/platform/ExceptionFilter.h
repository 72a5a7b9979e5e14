#pragma once
// Processor exceptions as the program's ordinary error 10000, whose text names the exception.
// The filter follows the chain of nested exception records to the innermost one, so the
// error names the exception that started it all.
#include "VbError.h"

#include <cstdint>
#include <exception>
#include <string>

namespace vexal {

// The name of an exception code ("Access Violation"); any other code gives
// "Unknown (&H" + eight upper-case hexadecimal digits + ")".
std::string GetExceptionText(uint32_t code);

// One exception record as the platform hands it over.
struct ExceptionRecord {
    uint32_t ExceptionCode = 0;
    uint32_t ExceptionFlags = 0;
    const ExceptionRecord* NestedRecord = nullptr;
    uintptr_t ExceptionAddress = 0;
    uint32_t NumberParameters = 0;
    uintptr_t ExceptionInformation[15] = {};
};
struct ExceptionPointers {
    const ExceptionRecord* Record = nullptr;
    const void* Context = nullptr;
};

// The error a processor exception becomes: number 10000, source "MyExceptionFilter".
inline constexpr const char* ExceptionFilterSource = "MyExceptionFilter";
VbError ProcessorExceptionError(const ExceptionPointers& info);
// The installed filter: raises ProcessorExceptionError for the active error trap.
[[noreturn]] void MyExceptionFilter(const ExceptionPointers& info);

// The program's standard error message for an error that reached an error trap:
// number, " - ", description, CR LF, "Error occured on line " and the line number.
inline constexpr const char* ErrorMessageTitle = "Error Occured";
std::string ErrorMessageText(int32_t number, const std::string& description, int32_t line = 0);

// The error an exception that escaped an event handler stands for: a VbError as it is, the
// library's failures as the runtime errors they amount to, anything else as error 10000.
VbError EscapedError(std::exception_ptr escaped);
// Shows an escaped error once, with the standard message under "Error Occured"; an error
// raised while that message is up is not shown again.
void ReportEscapedError(std::exception_ptr escaped);

} // namespace vexal
