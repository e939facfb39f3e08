#include "scp.h"

#include "channel.h"
#include "localfile.h"
#include "textconv.h"

#include <charconv>
#include <limits>
#include <memory>

namespace sshlib {

namespace {

constexpr std::size_t ChunkSize = 256 * 1024;
constexpr std::size_t MaxLine = 4096;

// The board ended the transfer before its first answer: most often a board without scp.
bool closedWithoutAnswer(const ByteStream &ch, std::string_view step, ErrorText &err) {
    err.fail(step,
             "the board closed the transfer without an answer (is scp installed on the board?)",
             ch.stderrText());
    return false;
}

// Reads one line of the board's reply (after its first byte) up to the line feed.
bool readLine(ByteStream &ch, std::string &line, std::string_view step, ErrorText &err) {
    line.clear();
    char c = 0;
    for (;;) {
        const long long n = ch.read(&c, 1, step);
        if (n < 0)
            return false;
        if (n == 0) {
            err.fail(step, "the board closed the transfer in the middle of a reply",
                     line + "\n" + ch.stderrText());
            return false;
        }
        if (c == '\n')
            return true;
        if (line.size() >= MaxLine) {
            err.fail(step, "the board's reply is longer than any SCP reply can be");
            return false;
        }
        line.push_back(c);
    }
}

// Reads one acknowledgement: a zero byte is yes; \1 or \2 carry the board's reason.
bool readAck(ByteStream &ch, std::string_view step, ErrorText &err) {
    char c = 0;
    const long long n = ch.read(&c, 1, step);
    if (n < 0)
        return false;
    if (n == 0)
        return closedWithoutAnswer(ch, step, err);
    if (c == '\0')
        return true;
    std::string line;
    if (!readLine(ch, line, step, err))
        return false;
    if (c == '\1' || c == '\2')
        err.fail(step, "the board refused", line);
    else
        err.fail(step, "the board's answer is not SCP", std::string(1, c) + line);
    return false;
}

// Ends the transfer the way the board expects: our EOF, its EOF, its close, its exit status.
bool finish(Channel &ch, std::string_view what, ErrorText &err) {
    std::string rest;
    if (!ch.sendEof("sending the end of the transfer") ||
        !ch.readToEnd(rest, false, "waiting for the board to end the transfer") ||
        !ch.waitClosed("waiting for the board to close the transfer"))
        return false;
    std::string signal;
    const int status = ch.exitStatus(signal);
    if (!signal.empty()) {
        err.fail(what, "scp on the board was ended by signal " + signal, ch.stderrText());
        return false;
    }
    if (status == Channel::NoExitStatus) {
        err.fail(what,
                 "the board closed the transfer without reporting how scp ended (no exit "
                 "status)",
                 ch.stderrText());
        return false;
    }
    if (status != 0) {
        err.fail(what, "scp on the board ended with exit status " + std::to_string(status),
                 ch.stderrText());
        return false;
    }
    return true;
}

} // namespace

namespace scpwire {

std::string shellQuote(std::string_view path) {
    std::string out = "'";
    for (char c : path) {
        if (c == '\'')
            out += "'\\''";
        else
            out.push_back(c);
    }
    return out + "'";
}

std::optional<FileRecord> parseFileRecord(std::string_view line) {
    // C, four octal digits, blank, decimal size, blank, name.
    if (line.size() < 9 || line[0] != 'C' || line[5] != ' ')
        return std::nullopt;
    FileRecord rec;
    for (std::size_t i = 1; i <= 4; ++i) {
        if (line[i] < '0' || line[i] > '7')
            return std::nullopt;
        rec.mode = rec.mode * 8 + static_cast<unsigned>(line[i] - '0');
    }
    const std::string_view rest = line.substr(6);
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos || blank == 0)
        return std::nullopt;
    const std::string_view digits = rest.substr(0, blank);
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), rec.size);
    if (ec != std::errc() || end != digits.data() + digits.size() ||
        rec.size > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    rec.name = std::string(rest.substr(blank + 1));
    if (rec.name.empty() || rec.name == "." || rec.name == ".." ||
        rec.name.find('/') != std::string::npos)
        return std::nullopt;
    return rec;
}

std::string uploadName(std::string_view remotePath, std::string_view localName) {
    std::string_view name = remotePath;
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos)
        name = name.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        name = localName;
    if (name.empty() || name.find_first_of("\n\r/") != std::string_view::npos)
        return {};
    return std::string(name);
}

bool receiveFile(ByteStream &ch, ErrorText &err, FileSink &sink) {
    const char yes = '\0';
    std::string cause;
    char kind = 0;
    const long long got = ch.read(&kind, 1, "reading the file record");
    if (got < 0)
        return false;
    if (got == 0)
        return closedWithoutAnswer(ch, "reading the file record", err);
    std::string line;
    if (!readLine(ch, line, "reading the file record", err))
        return false;
    if (kind == '\1' || kind == '\2') {
        err.fail("reading the file record", "the board refused", line);
        return false;
    }
    if (kind == 'D') {
        err.fail("reading the file record", "the board path is a folder, not a file");
        return false;
    }
    const auto record = parseFileRecord(std::string(1, kind) + line);
    if (!record) {
        err.fail("reading the file record", "the board's answer is not an SCP file record",
                 std::string(1, kind) + line);
        return false;
    }
    if (!ch.writeAll(&yes, 1, "accepting the file record"))
        return false;

    auto buffer = std::make_unique<char[]>(ChunkSize);
    std::uint64_t left = record->size;
    while (left > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(ChunkSize, left));
        const long long n = ch.read(buffer.get(), want, "receiving the file data");
        if (n < 0)
            return false;
        if (n == 0) {
            err.fail("receiving the file data",
                     "the board closed the transfer after " + std::to_string(record->size - left) +
                         " of " + std::to_string(record->size) + " bytes",
                     ch.stderrText());
            return false;
        }
        if (!sink.write(buffer.get(), static_cast<std::size_t>(n), cause)) {
            err.fail("writing the PC file", cause);
            return false;
        }
        left -= static_cast<std::uint64_t>(n);
    }
    if (!readAck(ch, "the board's answer after the file data", err) ||
        !ch.writeAll(&yes, 1, "confirming the file"))
        return false;
    return true;
}

} // namespace scpwire

bool scpUpload(Session &session, ErrorText &err, const std::u16string &localPath,
               const std::u16string &remotePath) {
    const std::string local = text::toUtf8(localPath);
    const std::string remote = text::toUtf8(remotePath);
    err.begin("Upload of " + quoted(local) + " to " + session.host() + ":" + quoted(remote));
    if (!session.requireLoggedIn(err))
        return false;
    localfile::InputFile file;
    std::string cause;
    if (!file.open(localPath, cause)) {
        err.fail("opening the PC file", cause);
        return false;
    }
    const std::string name =
        scpwire::uploadName(remote, text::toUtf8(localfile::baseName(localPath)));
    if (name.empty()) {
        err.fail("naming the board file", "the board path has no usable file name");
        return false;
    }

    Channel ch(session, err);
    if (!ch.open("opening a channel") ||
        !ch.exec("scp -t " + scpwire::shellQuote(remote), "starting scp on the board") ||
        !readAck(ch, "starting scp on the board", err))
        return false;
    const std::uint64_t size = file.size();
    const std::string header = "C0644 " + std::to_string(size) + " " + name + "\n";
    if (!ch.writeAll(header.data(), header.size(), "sending the file header") ||
        !readAck(ch, "the board's answer to the file header", err))
        return false;

    // Streamed in fixed chunks: memory does not grow with the file.
    auto buffer = std::make_unique<char[]>(ChunkSize);
    std::uint64_t sent = 0;
    while (sent < size) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(ChunkSize, size - sent));
        const long long n = file.read(buffer.get(), want, cause);
        if (n < 0) {
            err.fail("reading the PC file", cause);
            return false;
        }
        if (n == 0) {
            err.fail("reading the PC file", "the file got shorter while it was being sent");
            return false;
        }
        if (!ch.writeAll(buffer.get(), static_cast<std::size_t>(n), "sending the file data"))
            return false;
        sent += static_cast<std::uint64_t>(n);
    }
    const char end = '\0';
    if (!ch.writeAll(&end, 1, "sending the end of the file data") ||
        !readAck(ch, "the board's answer after the file data", err))
        return false;
    return finish(ch, "ending the transfer", err);
}

bool scpDownload(Session &session, ErrorText &err, const std::u16string &remotePath,
                 const std::u16string &localPath) {
    const std::string local = text::toUtf8(localPath);
    const std::string remote = text::toUtf8(remotePath);
    err.begin("Download of " + session.host() + ":" + quoted(remote) + " to " + quoted(local));
    if (!session.requireLoggedIn(err))
        return false;
    // The PC file is only replaced once the whole file is here and on disk.
    localfile::ReplacingFile out;
    std::string cause;
    if (!out.create(localPath, cause)) {
        err.fail("creating a temporary file beside the PC file", cause);
        return false;
    }

    Channel ch(session, err);
    const char yes = '\0';
    if (!ch.open("opening a channel") ||
        !ch.exec("scp -f " + scpwire::shellQuote(remote), "starting scp on the board") ||
        !ch.writeAll(&yes, 1, "asking for the file"))
        return false;

    struct Sink : scpwire::FileSink {
        localfile::ReplacingFile &file;
        explicit Sink(localfile::ReplacingFile &f) : file(f) {}
        bool write(const void *data, std::size_t length, std::string &error) override {
            return file.write(data, length, error);
        }
    } sink(out);
    if (!scpwire::receiveFile(ch, err, sink))
        return false;
    if (!finish(ch, "ending the transfer", err))
        return false;
    if (!out.commit(cause)) {
        err.fail("putting the PC file in place", cause);
        return false;
    }
    return true;
}

} // namespace sshlib
