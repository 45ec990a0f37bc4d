// SafeSave: writing a file so that a failure never leaves it half-written. The bytes go to a
// temporary file in the target's folder, which replaces the target only once all of them
// have been written and flushed to the disk.
#pragma once

#include "Classes.h"
#include "Handles.h"

#include <functional>
#include <string>

namespace ruk {

// A file stream that writes the temporary file of a safe save. While it is open the target
// (when it exists) is held with exclusive access, as a file created for writing would be.
// Commit() replaces the target; an object destroyed without a successful Commit() removes
// its temporary file and leaves the target as it was.
//
// Failures raise what creating the target directly would: EFCreateError
// "Cannot create file \"%s\". %s" with the target's full path and the system's error text,
// and the thread's last error set to the system's code.
class TSafeFileStream : public THandleStream {
public:
    explicit TSafeFileStream(const std::string& fileName);
    ~TSafeFileStream() override;
    TSafeFileStream(const TSafeFileStream&) = delete;
    TSafeFileStream& operator=(const TSafeFileStream&) = delete;

    // Flushes the temporary file to the disk, closes it and puts it in the target's place.
    // A failed flush raises EWriteError "Stream write error". After a failure the
    // temporary file is gone and the target untouched; the stream is closed either way.
    void Commit();

    const std::string& FileName() const { return FFileName; }
    const std::string& TempFileName() const { return FTempName; }

private:
    void Discard();
    std::string FFileName;
    std::string FTempName;
    TFileHandle FTargetLock;
};

// Creates or replaces fileName with what write puts into the stream, through a
// TSafeFileStream: an exception of write (or of the commit) leaves the previous file
// byte-identical, removes the temporary file and is raised again.
void SafeSaveToFile(const std::string& fileName, const std::function<void(TStream& stream)>& write);

}  // namespace ruk
