#include "RUKDynShlWAPI.h"
#include "RUKLexmillMain.h"

#include <gtest/gtest.h>

using namespace ruk;

namespace {
TRUKDynShlWAPIUnit GShlWAPIUnit;
}

TEST(Smoke, CreatesTheWindow) {
    TSDIAppForm* f = CreateForm<TSDIAppForm>();
    f->Show();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(f->Text(), "RUK HTML/XML Lexmill and Keyword Extractor");
    f->Free();
}
