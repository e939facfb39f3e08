#include "exitstatus.h"

#include <cstddef>
#include <cstring>

namespace sshlib::exitstatus {

namespace {

// libssh2 from 1.2 to 1.11 starts its channel with: a list node of three pointers, the channel
// type text and its length, then the exit status (int) and the exit signal text. Only that
// status field is written, and only after the fields around it prove the layout: the type is
// "session" with length 7, the status is still 0 and no signal is set.
constexpr std::size_t TypeAt = 3 * sizeof(void *);
constexpr std::size_t TypeLenAt = TypeAt + sizeof(void *);
constexpr std::size_t StatusAt = TypeLenAt + sizeof(unsigned);
constexpr std::size_t SignalAt =
    (StatusAt + sizeof(int) + alignof(void *) - 1) / alignof(void *) * alignof(void *);

template <class T> T field(LIBSSH2_CHANNEL *channel, std::size_t at) {
    T value;
    std::memcpy(&value, reinterpret_cast<const unsigned char *>(channel) + at, sizeof value);
    return value;
}

bool knownLayout(LIBSSH2_CHANNEL *channel) {
    if (LIBSSH2_VERSION_NUM < 0x010200 || LIBSSH2_VERSION_NUM >= 0x010c00)
        return false;
    const auto *type = field<const unsigned char *>(channel, TypeAt);
    return type && field<unsigned>(channel, TypeLenAt) == 7 &&
           std::memcmp(type, "session", 7) == 0 && field<char *>(channel, SignalAt) == nullptr;
}

} // namespace

bool mark(LIBSSH2_CHANNEL *channel) {
    if (!channel || !knownLayout(channel) || field<int>(channel, StatusAt) != 0)
        return false;
    const int value = NotReported;
    std::memcpy(reinterpret_cast<unsigned char *>(channel) + StatusAt, &value, sizeof value);
    return libssh2_channel_get_exit_status(channel) == NotReported;
}

} // namespace sshlib::exitstatus
