#include "ExceptionFilter.h"

#include "MsgBox.h"
#include "Steps.h"

#include <cstdio>
#include <new>
#include <stdexcept>

namespace vexal {

std::string GetExceptionText(uint32_t code)
{
    switch (code) {
    case 0x80000001u: return "Guard Page Violation";
    case 0x80000002u: return "Data Type Misalignment";
    case 0x80000003u: return "Breakpoint";
    case 0x80000004u: return "Single Step";
    case 0xC0000005u: return "Access Violation";
    case 0xC0000006u: return "In Page Error";
    case 0xC0000008u: return "Invalid Handle";
    case 0xC000001Du: return "Illegal Instruction";
    case 0xC0000025u: return "Non Continuable Exception";
    case 0xC0000026u: return "Invalid Disposition";
    case 0xC000008Cu: return "Array Bounds Exceeded";
    case 0xC000008Du: return "Float Denormal Operand";
    case 0xC000008Eu: return "Divide By Zero";
    case 0xC000008Fu: return "Floating Point Inexact Result";
    case 0xC0000090u: return "Invalid Operation";
    case 0xC0000091u: return "Float Overflow";
    case 0xC0000092u: return "Float Stack Check";
    case 0xC0000093u: return "Float Underflow";
    case 0xC0000094u: return "Integer Divide By Zero";
    case 0xC0000095u: return "Integer Overflow";
    case 0xC0000096u: return "Privileged Instruction";
    case 0xC00000FDu: return "Stack Overflow";
    case 0xC000013Au: return "Control-C Exit";
    default: break;
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", code);
    return std::string("Unknown (&H") + hex + ")";
}

VbError ProcessorExceptionError(const ExceptionPointers& info)
{
    // Copy the record, then each nested record over the copy: the innermost one wins.
    ExceptionRecord record;
    if (info.Record)
        record = *info.Record;
    int guard = 0; // a corrupt chain that loops must not hang the handler
    while (record.NestedRecord && guard++ < 1000)
        record = *record.NestedRecord;
    return VbError(VbError::ProcessorException, GetExceptionText(record.ExceptionCode), ExceptionFilterSource);
}

void MyExceptionFilter(const ExceptionPointers& info) { throw ProcessorExceptionError(info); }

std::string ErrorMessageText(int32_t number, const std::string& description, int32_t line)
{
    return std::to_string(number) + " - " + description + "\r\nError occured on line " + std::to_string(line);
}

VbError EscapedError(std::exception_ptr escaped)
{
    try {
        std::rethrow_exception(escaped);
    } catch (const VbError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return VbError::Of(VbError::OutOfMemory);
    } catch (const std::out_of_range&) {
        return VbError::Of(VbError::SubscriptOutOfRange);
    } catch (const std::overflow_error&) {
        return VbError::Of(VbError::Overflow);
    } catch (const std::exception& e) {
        return VbError(VbError::ProcessorException, e.what());
    } catch (...) {
        return VbError(VbError::ProcessorException, GetExceptionText(0));
    }
}

void ReportEscapedError(std::exception_ptr escaped)
{
    static bool reporting = false;
    if (reporting)
        return;
    reporting = true;
    try {
        const VbError error = EscapedError(escaped);
        MsgBox(ErrorMessageText(error.Number(), error.Description()), vbCritical, ErrorMessageTitle);
    } catch (...) {
        // A message service that fails cannot show its own failure either.
        LogStepFailure("the error trap could not show an error");
    }
    reporting = false;
}

} // namespace vexal
