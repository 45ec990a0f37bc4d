// Writes what the operating-system identification answers in this process, one value a line,
// into the file named by the first argument. Run by the tests under several Windows versions
// that Wine reports per program.
#include "RUKOpSys.h"

#include <fstream>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    ruk::TOperatingSystem os;
    std::ofstream out(argv[1], std::ios::binary);
    out << os.GetPlatformId() << "\n"
        << os.GetVersionNumberText() << "\n"
        << os.GetWindowsProductName() << "\n"
        << os.GetWindowsEdition() << "\n";
    return out ? 0 : 1;
}
