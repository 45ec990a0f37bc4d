#include "RUKConvertCharEncodingThread.h"

#include "RUKLexmillUtils1.h"

#include "DocumentText.h"
#include "Handles.h"

#include <cstring>
#include <new>

namespace ruk {

// The thread class resumes a running thread inside its own constructor, before this object is
// complete; so the thread is created suspended and let go once the members exist.
TRUKConvertCharEncodingThread::TRUKConvertCharEncodingThread(bool CreateSuspended)
    : TThread(true) {
    if (!CreateSuspended) Resume();
}

TRUKConvertCharEncodingThread::TRUKConvertCharEncodingThread(const std::string& FileName)
    : TThread(true), FFileName(FileName) {}

TRUKConvertCharEncodingThread::~TRUKConvertCharEncodingThread() {
    // Execute works on the members: the thread must have ended before they go.
    WaitForShutdown();
}

namespace {

// The thread's last error as a result code, 0xE000FEFF when there is none.
DWORD LastErrorCode() {
    const DWORD code = GetLastError();
    return code != 0 ? code : RUK_E_EXCEPTION;
}

}  // namespace

void TRUKConvertCharEncodingThread::Execute() {
    if (FFileName.empty() || !FileExists(FFileName)) {
        SetReturnValue(0);
        return;
    }
    // The file is opened and read here rather than through the file stream's open and
    // ReadBuffer, which report a failure by an exception: the first exception raised in the
    // process clears the thread's last error on its way, and the code of the failure with it.
    // Access and sharing are the stream's for fmOpenRead | fmShareExclusive.
    const TFileHandle handle(
        CreateFileA(FFileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        SetReturnValue(static_cast<int>(LastErrorCode()));
        return;
    }
    DWORD code = 0;
    // The memory stream reports a failed allocation as a stream error; it is told apart by
    // where it happens.
    bool allocating = false;
    try {
        THandleStream file(handle.Get());
        const Int64 size = file.Size();
        if (size < 0) {
            SetReturnValue(static_cast<int>(LastErrorCode()));
            return;
        }
        if (size > RUK_MAX_LOADABLE_FILE_SIZE) {
            SetReturnValue(ERROR_FILE_TOO_LARGE);
            return;
        }
        const size_t bytes = static_cast<size_t>(size);
        // Two zero bytes after the contents end the text as bytes and as 16-bit units.
        allocating = true;
        FMemoryStream = std::make_unique<TMemoryStream>();
        FMemoryStream->SetSize(size + 2);
        allocating = false;
        char* memory = FMemoryStream->Memory();
        std::memset(memory, 0, bytes + 2);
        for (size_t done = 0; done < bytes;) {
            const int n = file.Read(memory + done, static_cast<int>(bytes - done));
            if (n <= 0) {
                SetReturnValue(static_cast<int>(LastErrorCode()));
                return;
            }
            done += static_cast<size_t>(n);
        }

        // The mark test sees the two zero bytes too: it looks at the first two bytes only, and
        // a file shorter than that has a zero among them, so the answer is the same.
        // The platform's test never reports the big-endian mark; such a file is still UTF-16
        // and is read with its bytes swapped rather than as two characters of ANSI text.
        TDocumentEncoding encoding = TDocumentEncoding::deAnsi;
        if (DocumentEncoding(memory, bytes) == TDocumentEncoding::deUtf16BE)
            encoding = TDocumentEncoding::deUtf16BE;
        else if (HasUnicodeByteOrderMark(FMemoryStream.get()))
            encoding = TDocumentEncoding::deUtf16LE;
        FConvertedText = DocumentAnsiText(memory, bytes, encoding);
        code = encoding == TDocumentEncoding::deAnsi ? RUK_LOADED_ANSI_TEXT : RUK_LOADED_UNICODE_TEXT;
    } catch (const std::bad_alloc&) {
        code = ERROR_NOT_ENOUGH_MEMORY;
    } catch (const EOutOfMemory&) {
        code = ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        code = allocating ? ERROR_NOT_ENOUGH_MEMORY : CaughtExceptionCode();
    }
    SetReturnValue(static_cast<int>(code));
}

}  // namespace ruk
