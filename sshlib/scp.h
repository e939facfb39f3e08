// SCP over an exec channel of a logged-in session, spoken by us so that every acknowledgement
// of the board is read, the closing one included.
#pragma once

#include "bytestream.h"
#include "errortext.h"
#include "session.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sshlib {

bool scpUpload(Session &session, ErrorText &err, const std::u16string &localPath,
               const std::u16string &remotePath);
bool scpDownload(Session &session, ErrorText &err, const std::u16string &remotePath,
                 const std::u16string &localPath);

// The parts of the SCP protocol that read what the board sends, apart for testing.
namespace scpwire {

// A path made safe for the board's shell: single-quoted.
std::string shellQuote(std::string_view path);

struct FileRecord {
    unsigned mode = 0;
    std::uint64_t size = 0;
    std::string name;
};
// Parses a "C<mode> <size> <name>" record line (without its line feed). Rejects anything else.
std::optional<FileRecord> parseFileRecord(std::string_view line);

// Where received file data goes.
class FileSink {
public:
    virtual ~FileSink() = default;
    virtual bool write(const void *data, std::size_t length, std::string &error) = 0;
};

// The receiving side of one "scp -f" transfer, after the request: the board's file record,
// our acknowledgements, exactly the announced number of bytes into sink, and the board's
// closing acknowledgement. Whatever the board sends, nothing but sink is written.
bool receiveFile(ByteStream &stream, ErrorText &err, FileSink &sink);

// The name sent in the upload header: the remote path's last part, or the local file's name
// when the remote path names a folder. Empty when no usable name exists.
std::string uploadName(std::string_view remotePath, std::string_view localName);

} // namespace scpwire

} // namespace sshlib
