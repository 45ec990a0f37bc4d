// The document loader: reads one file whole on a thread of its own and turns it into ANSI
// text, converting UTF-16 text that begins with a byte-order mark.
#pragma once

#include "RUKLexmillUtils1.h"  // RUK_E_EXCEPTION
#include "Threads.h"

#include <memory>
#include <string>

namespace ruk {

// Result codes in ReturnValue(), besides 0 (no file name, or no such file) and the
// operating-system error of a failed open or read.
constexpr DWORD RUK_LOADED_ANSI_TEXT = 0x20004001;
constexpr DWORD RUK_LOADED_UNICODE_TEXT = 0x20004002;
// Files from this size on are refused with ERROR_FILE_TOO_LARGE: the contents and the two
// zero bytes after them must fit in one block addressed by a signed 32-bit size.
constexpr long long RUK_MAX_LOADABLE_FILE_SIZE = 0x7FFFFFFDLL;

class TRUKConvertCharEncodingThread : public TThread {
public:
    // A loader with nothing to load: its Execute leaves ReturnValue at 0.
    explicit TRUKConvertCharEncodingThread(bool CreateSuspended);
    // Created suspended.
    explicit TRUKConvertCharEncodingThread(const std::string& FileName);
    // Keeps a string literal from choosing the Boolean constructor.
    explicit TRUKConvertCharEncodingThread(const char* FileName)
        : TRUKConvertCharEncodingThread(std::string(FileName)) {}
    ~TRUKConvertCharEncodingThread() override;

    const std::string& FileName() const { return FFileName; }
    // Read after the thread has terminated, with ReturnValue().
    const std::string& ConvertedText() const { return FConvertedText; }

protected:
    void Execute() override;

private:
    std::string FFileName;
    std::unique_ptr<TMemoryStream> FMemoryStream;
    std::string FConvertedText;
};

}  // namespace ruk
