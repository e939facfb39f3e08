// Local (PC) files for SCP: streamed reading, and writing through a temporary file beside the
// destination so that a failed download never damages what was there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sshlib::localfile {

class InputFile {
public:
    InputFile();
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    // Opens a readable regular file; on failure sets error and returns false. On Windows others
    // may read the file meanwhile but not write it, so one still being written does not open:
    // error then says it is in use by another program.
    bool open(const std::u16string &path, std::string &error);
    // After a failed open: nothing to read is there at all (no such file or folder, or a
    // folder), as against a file that is there and cannot be read.
    bool absent() const;
    // After a failed open: another program holds the file open for writing (Windows only, where
    // an open says so).
    bool inUse() const;
    std::uint64_t size() const;
    // Bytes read (0 at the end), or -1 with error set.
    long long read(void *buffer, std::size_t length, std::string &error);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class ReplacingFile {
public:
    ReplacingFile();
    // Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // Creates a new temporary file in the folder of destination.
    bool create(const std::u16string &destination, std::string &error);
    bool write(const void *data, std::size_t length, std::string &error);
    // Flushes the data to disk, closes, and puts it in place of the destination.
    bool commit(std::string &error);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The file name part of a local path (after the last separator of the platform).
std::u16string baseName(const std::u16string &path);

} // namespace sshlib::localfile
