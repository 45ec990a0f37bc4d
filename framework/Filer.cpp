#include "Filer.h"

#include <climits>
#include <cstring>

namespace ruk {

namespace {

[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }
[[noreturn]] void ReadError(DWORD osError = 0) { throw EReadError("Stream read error", osError); }

void PutLE(unsigned char* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

TFiler::TFiler(TStream& stream, int bufSize)
    : FStream(stream), FBuffer(static_cast<size_t>(bufSize > 0 ? bufSize : FilerBufferSize)) {}

// ---------------------------------------------------------------- writer

TWriter::TWriter(TStream& stream, int bufSize) : TFiler(stream, bufSize) {}

TWriter::~TWriter() {
    try {
        FlushBuffer();
    } catch (...) {
        // A destructor cannot report it; callers that must know call FlushBuffer().
    }
}

void TWriter::Write(const void* data, int count) {
    if (count < 0) throw EWriteError("Stream write error");
    const char* p = static_cast<const char*>(data);
    const int size = static_cast<int>(FBuffer.size());
    while (count > 0) {
        if (FBufPos == size) FlushBuffer();
        const int n = count < size - FBufPos ? count : size - FBufPos;
        std::memcpy(FBuffer.data() + FBufPos, p, static_cast<size_t>(n));
        FBufPos += n;
        p += n;
        count -= n;
    }
}

void TWriter::FlushBuffer() {
    const int n = FBufPos;
    if (n == 0) return;
    // Emptied first: after a failure the same bytes are never written twice.
    FBufPos = 0;
    FStream.WriteBuffer(FBuffer.data(), n);
    FWritten += n;
}

void TWriter::WriteValue(TValueType value) {
    const unsigned char b = value;
    Write(&b, 1);
}

void TWriter::WriteListBegin() { WriteValue(vaList); }

void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteInteger(int value) {
    unsigned char out[5];
    int bytes;
    if (value >= -128 && value <= 127) {
        out[0] = vaInt8;
        bytes = 1;
    } else if (value >= -32768 && value <= 32767) {
        out[0] = vaInt16;
        bytes = 2;
    } else {
        out[0] = vaInt32;
        bytes = 4;
    }
    PutLE(out + 1, static_cast<std::uint32_t>(value), bytes);
    Write(out, 1 + bytes);
}

void TWriter::WriteString(const std::string& value) {
    const std::string utf8 = AnsiToUtf8(value);
    if (utf8.size() > static_cast<size_t>(INT_MAX - 5)) throw EWriteError("Stream write error");
    unsigned char head[5];
    if (utf8 != value) {
        head[0] = vaUTF8String;
        PutLE(head + 1, static_cast<std::uint32_t>(utf8.size()), 4);
        Write(head, 5);
        Write(utf8.data(), static_cast<int>(utf8.size()));
    } else if (value.size() <= 255) {
        head[0] = vaString;
        head[1] = static_cast<unsigned char>(value.size());
        Write(head, 2);
        Write(value.data(), static_cast<int>(value.size()));
    } else {
        head[0] = vaLString;
        PutLE(head + 1, static_cast<std::uint32_t>(value.size()), 4);
        Write(head, 5);
        Write(value.data(), static_cast<int>(value.size()));
    }
}

void TWriter::WriteIdent(const std::string& ident) {
    const size_t n = ident.size() < 255 ? ident.size() : 255;
    const unsigned char head[2] = {vaIdent, static_cast<unsigned char>(n)};
    Write(head, 2);
    Write(ident.data(), static_cast<int>(n));
}

// ---------------------------------------------------------------- reader

TReader::TReader(TStream& stream, int bufSize) : TFiler(stream, bufSize) {}

TReader::~TReader() {
    // Give back what was buffered but not consumed, so the stream stands right after
    // the last value read.
    const int unread = FBufEnd - FBufPos;
    if (unread > 0) {
        try {
            FStream.Seek(-unread, soCurrent);
        } catch (...) {
        }
    }
}

void TReader::ReadBuffer() {
    const int n = FStream.Read(FBuffer.data(), static_cast<int>(FBuffer.size()));
    FBufPos = 0;
    FBufEnd = n > 0 ? n : 0;
    if (n <= 0) ReadError(ReadWriteFailure(n));
}

void TReader::Read(void* data, int count) {
    if (count < 0) ReadError();
    char* p = static_cast<char*>(data);
    while (count > 0) {
        if (FBufPos == FBufEnd) ReadBuffer();
        const int available = FBufEnd - FBufPos;
        const int n = count < available ? count : available;
        std::memcpy(p, FBuffer.data() + FBufPos, static_cast<size_t>(n));
        FBufPos += n;
        p += n;
        count -= n;
    }
}

Int64 TReader::Position() { return FStream.Position() - (FBufEnd - FBufPos); }

TValueType TReader::ReadValue() {
    unsigned char b = 0;
    Read(&b, 1);
    return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
    const TValueType value = ReadValue();
    --FBufPos;  // the byte just read is still in the buffer
    return value;
}

void TReader::ReadListBegin() {
    if (ReadValue() != vaList) InvalidValue();
}

void TReader::ReadListEnd() {
    if (ReadValue() != vaNull) InvalidValue();
}

std::uint32_t TReader::ReadLength() {
    unsigned char b[4];
    Read(b, 4);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void TReader::CheckRemaining(std::uint64_t bytes) {
    // A corrupt length must fail here, before anything of that size is allocated.
    if (bytes > static_cast<std::uint64_t>(INT_MAX)) ReadError();
    const int buffered = FBufEnd - FBufPos;
    if (bytes <= static_cast<std::uint64_t>(buffered)) return;
    const Int64 rest = FStream.Size() - FStream.Position();
    if (rest < 0 || bytes > static_cast<std::uint64_t>(buffered) + static_cast<std::uint64_t>(rest)) ReadError();
}

std::string TReader::ReadBytes(std::uint32_t count) {
    CheckRemaining(count);
    std::string out(count, '\0');
    Read(out.data(), static_cast<int>(count));
    return out;
}

int TReader::ReadInteger() {
    switch (ReadValue()) {
        case vaInt8: {
            std::int8_t v;
            Read(&v, 1);
            return v;
        }
        case vaInt16: {
            unsigned char b[2];
            Read(b, 2);
            return static_cast<std::int16_t>(b[0] | b[1] << 8);
        }
        case vaInt32:
            return static_cast<std::int32_t>(ReadLength());
        default:
            InvalidValue();
    }
}

std::string TReader::ReadString() {
    switch (ReadValue()) {
        case vaString: {
            unsigned char n = 0;
            Read(&n, 1);
            return ReadBytes(n);
        }
        case vaLString:
            return ReadBytes(ReadLength());
        case vaWString: {
            const std::uint32_t units = ReadLength();
            CheckRemaining(2ull * units);
            std::wstring text(units, L'\0');
            Read(text.data(), static_cast<int>(2 * units));
            return WideToAnsi(text);
        }
        case vaUTF8String:
            return Utf8ToAnsi(ReadBytes(ReadLength()));
        default:
            InvalidValue();
    }
}

std::string TReader::ReadIdent() {
    switch (ReadValue()) {
        case vaIdent: {
            unsigned char n = 0;
            Read(&n, 1);
            return ReadBytes(n);
        }
        case vaFalse: return "False";
        case vaTrue: return "True";
        case vaNil: return "nil";
        case vaNull: return "Null";
        default:
            InvalidValue();
    }
}

}  // namespace ruk
