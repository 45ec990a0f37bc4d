// RUKFpuControl: the x87 control word of the program and a guard for Extended
// arithmetic (the class library reads and loads the word). Header only (the class
// library's exceptions are inline too), so the run-time library can use it with its own
// copy of the file-size text.
#pragma once

#include "SysUtils.h"

#include <cstdint>

namespace ruk {

// 64-bit mantissa, rounding to nearest; invalid operation, division by zero and
// overflow raise; denormal operand, underflow and precision are masked.
constexpr std::uint16_t ExtendedControlWord = 0x1332;

// Runs one computation with a 64-bit mantissa and rounding to nearest whatever the
// calling thread's control word says, with every exception masked, and then raises
// the class library's error for each exception that ExtendedControlWord unmasks.
// So a result is the same on every thread, and an overflow becomes EOverflow rather
// than a hardware trap that nothing would catch. The thread's word is restored.
class TRUKExtendedScope {
public:
    TRUKExtendedScope() : FSaved(GetFPUControlWord()) { SetFPUControlWord(0x133F); }
    ~TRUKExtendedScope() {
        if (!FRestored) Restore();
    }
    TRUKExtendedScope(const TRUKExtendedScope&) = delete;
    TRUKExtendedScope& operator=(const TRUKExtendedScope&) = delete;

    // Forces v through memory in its own type: inputs are then read after the scope
    // began, and a Double result is rounded (and may overflow) before it ends.
    template <typename T>
    static void Pin(T& v) {
        asm volatile("" : "+m"(v) : : "memory");
    }

    void Check() {
        std::uint16_t sw;
        asm volatile("fnstsw %0" : "=m"(sw) : : "memory");
        Restore();
        if (sw & 0x01) throw EInvalidOp("Invalid floating point operation");
        if (sw & 0x04) throw EZeroDivide("Floating point division by zero");
        if (sw & 0x08) throw EOverflow("Floating point overflow");
    }

private:
    void Restore() {
        SetFPUControlWord(FSaved);
        FRestored = true;
    }

    std::uint16_t FSaved;
    bool FRestored = false;
};

// compute(args...) inside a TRUKExtendedScope; the arguments are pinned first.
template <typename R, typename F, typename... A>
R ExtendedCalc(F compute, A... args) {
    TRUKExtendedScope fpu;
    (TRUKExtendedScope::Pin(args), ...);
    R result = compute(args...);
    TRUKExtendedScope::Pin(result);
    fpu.Check();
    return result;
}

}  // namespace ruk
