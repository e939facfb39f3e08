// JPEG decoding with libjpeg, for the banner the programs carry inside themselves.
#pragma once

#include <QByteArray>
#include <QImage>

namespace shell {

// The decoded picture, or a null image when the data is not a JPEG libjpeg can read.
QImage DecodeJpeg(const QByteArray &data);

} // namespace shell
