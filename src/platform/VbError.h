#pragma once
// The runtime error the program's procedures raise and trap: a number and a text,
// as the error traps of every window expect them.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vexal {

class VbError : public std::runtime_error {
public:
    VbError(int32_t number, std::string description, std::string source = {});
    int32_t Number() const { return number_; }
    const std::string& Description() const { return description_; }
    // Where the error was raised ("MyExceptionFilter"); empty for the runtime's own errors.
    const std::string& Source() const { return source_; }

    // The numbers the program's traps test for.
    static constexpr int32_t Overflow = 6;
    static constexpr int32_t OutOfMemory = 7;
    static constexpr int32_t SubscriptOutOfRange = 9;
    static constexpr int32_t DivisionByZero = 11;
    static constexpr int32_t TypeMismatch = 13;
    static constexpr int32_t BadFileMode = 54;
    static constexpr int32_t FileNotFound = 53;
    static constexpr int32_t BadRecordNumber = 63;
    static constexpr int32_t PathFileAccess = 75;
    static constexpr int32_t PathNotFound = 76;
    static constexpr int32_t ObjectNotSet = 91;
    static constexpr int32_t PrinterError = 482;
    static constexpr int32_t InvalidProcedureCall = 5;
    static constexpr int32_t ProcessorException = 10000;

    // The standard text of a runtime error number ("Overflow", "Division by zero", ...).
    static std::string TextOf(int32_t number);
    static VbError Of(int32_t number) { return VbError(number, TextOf(number)); }

private:
    int32_t number_;
    std::string description_;
    std::string source_;
};

} // namespace vexal
