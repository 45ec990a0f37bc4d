#include "RUKValidHandle.h"

#include <gtest/gtest.h>

using ruk::IsNotInvalidHandleValue;
using ruk::IsValidHandle;

TEST(ValidHandle, ZeroAndInvalidHandleValueAreNotValid) {
    struct Case {
        std::uint32_t h;
        bool valid, notInvalid;
    } cases[] = {
        {0u, false, true},
        {0xFFFFFFFFu, false, false},
        {4u, true, true},
        {0xFFFFFFFEu, true, true},  // the current thread's pseudo handle
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidHandle(c.h), c.valid) << c.h;
        EXPECT_EQ(IsNotInvalidHandleValue(c.h), c.notInvalid) << c.h;
        const void* asPointer = reinterpret_cast<const void*>(std::uintptr_t(c.h));
        EXPECT_EQ(IsValidHandle(asPointer), c.valid) << c.h;
        EXPECT_EQ(IsNotInvalidHandleValue(asPointer), c.notInvalid) << c.h;
    }
}

TEST(ValidHandle, SystemHandlesOfEveryKind) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(IsValidHandle(event));
    CloseHandle(event);
    EXPECT_TRUE(IsValidHandle(GetModuleHandleA(nullptr)));
    EXPECT_FALSE(IsValidHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(IsValidHandle(HWND(nullptr)));
    EXPECT_TRUE(IsNotInvalidHandleValue(HMODULE(nullptr)));
    EXPECT_FALSE(IsNotInvalidHandleValue(INVALID_HANDLE_VALUE));
}
