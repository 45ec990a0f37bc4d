// Filer: the typed-value writer and reader over a stream (the binary value format of
// the keyword file). Every value starts with a one-byte tag; numbers are little-endian.
#pragma once

#include "Classes.h"

#include <string>
#include <vector>

namespace ruk {

enum TValueType : unsigned char {
    vaNull = 0x00,        // end of list; as an identifier: Null
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x06,      // 1-byte length, ANSI bytes
    vaIdent = 0x07,       // 1-byte length, bytes
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaLString = 0x0C,     // 4-byte length, ANSI bytes
    vaNil = 0x0D,
    vaWString = 0x12,     // 4-byte count of UTF-16 units, UTF-16LE
    vaUTF8String = 0x14,  // 4-byte length, UTF-8 bytes
};

constexpr int FilerBufferSize = 0x10000;

// Buffer shared by the writer and the reader.
class TFiler : public TObject {
public:
    TFiler(TStream& stream, int bufSize);
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;

protected:
    TStream& FStream;
    std::vector<char> FBuffer;
    int FBufPos = 0;
    int FBufEnd = 0;
};

// Writes values into its buffer and hands the buffer to the stream when it is full.
// Call FlushBuffer() when done: it writes out what the buffer still holds and raises
// EWriteError when the stream takes less. The destructor writes out what is left too,
// but it cannot report a failure.
class TWriter : public TFiler {
public:
    explicit TWriter(TStream& stream, int bufSize = FilerBufferSize);
    ~TWriter() override;

    void WriteListBegin();
    void WriteListEnd();
    // The smallest of 0x02, 0x03 and 0x04 that holds the value.
    void WriteInteger(int value);
    // 0x14 with the UTF-8 bytes when they differ from the text's own bytes; otherwise
    // 0x06 up to 255 bytes, 0x0C above.
    void WriteString(const std::string& value);
    // 0x07, a length byte and at most the first 255 bytes, unconverted.
    void WriteIdent(const std::string& ident);
    void WriteValue(TValueType value);
    void Write(const void* data, int count);
    void FlushBuffer();
    // Bytes written so far, the buffered ones included.
    Int64 Position() const { return FWritten + FBufPos; }

private:
    Int64 FWritten = 0;
};

// Reads values through its buffer. Any unexpected tag raises EReadError "Invalid property
// value"; reading past the end raises EReadError "Stream read error", and so does a length
// larger than what is left of the stream (nothing is allocated for it). The destructor
// puts the stream back at the first byte not consumed.
class TReader : public TFiler {
public:
    explicit TReader(TStream& stream, int bufSize = FilerBufferSize);
    ~TReader() override;

    TValueType ReadValue();
    TValueType NextValue();  // the next tag, not consumed
    bool EndOfList() { return NextValue() == vaNull; }
    void ReadListBegin();
    void ReadListEnd();
    int ReadInteger();  // 0x02, 0x03, 0x04, sign-extended
    // 0x06 and 0x0C as ANSI bytes; 0x12 and 0x14 converted to the ANSI code page.
    std::string ReadString();
    // 0x07 with its text; 0x08 "False", 0x09 "True", 0x0D "nil", 0x00 "Null".
    std::string ReadIdent();
    void Read(void* data, int count);
    // Position in the stream of the next byte to be consumed.
    Int64 Position();

private:
    void ReadBuffer();
    std::uint32_t ReadLength();
    void CheckRemaining(std::uint64_t bytes);
    std::string ReadBytes(std::uint32_t count);
};

}  // namespace ruk
