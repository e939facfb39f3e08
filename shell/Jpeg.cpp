#include "Jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace shell {
namespace {

// libjpeg reports errors by calling error_exit, which must not return; it jumps back here.
// The functions that set the jump point hold only trivially destructible locals, so the jump
// skips no destructor.
struct Decoder {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    std::jmp_buf failed{};
    bool created = false;
};

[[noreturn]] void OnError(j_common_ptr info) {
    auto *decoder = static_cast<Decoder *>(info->client_data);
    std::longjmp(decoder->failed, 1);
}

void OnMessage(j_common_ptr /*info*/) {
    // Warnings about a slightly damaged stream are not worth telling anyone.
}

bool ReadHeader(Decoder &d, const unsigned char *data, unsigned long size) {
    d.info.err = jpeg_std_error(&d.errors);
    d.errors.error_exit = OnError;
    d.errors.output_message = OnMessage;
    d.info.client_data = &d;
    if (setjmp(d.failed) != 0) {
        return false;
    }
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_mem_src(&d.info, data, size);
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    d.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.info);
    return d.info.output_components == 3;
}

bool ReadPixels(Decoder &d, unsigned char *bits, qsizetype bytesPerLine) {
    if (setjmp(d.failed) != 0) {
        return false;
    }
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = bits + bytesPerLine * static_cast<qsizetype>(d.info.output_scanline);
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

class DecoderGuard {
public:
    explicit DecoderGuard(Decoder &d) : d_(d) {}
    DecoderGuard(const DecoderGuard &) = delete;
    DecoderGuard &operator=(const DecoderGuard &) = delete;
    ~DecoderGuard() {
        if (d_.created) {
            jpeg_destroy_decompress(&d_.info);
        }
    }

private:
    Decoder &d_;
};

} // namespace

QImage DecodeJpeg(const QByteArray &data) {
    if (data.isEmpty()) {
        return {};
    }
    Decoder decoder;
    const DecoderGuard guard(decoder);
    if (!ReadHeader(decoder, reinterpret_cast<const unsigned char *>(data.constData()),
                    static_cast<unsigned long>(data.size()))) {
        return {};
    }
    QImage image(static_cast<int>(decoder.info.output_width),
                 static_cast<int>(decoder.info.output_height), QImage::Format_RGB888);
    if (image.isNull() || !ReadPixels(decoder, image.bits(), image.bytesPerLine())) {
        return {};
    }
    return image;
}

} // namespace shell
