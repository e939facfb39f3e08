// Draws the programs' artwork: the About box banner (a 1311 x 354 colour JPEG) and the
// application icon (PNG files from 16 to 256 px and one .ico holding them all).
// Usage: tavrin_mkart <output folder>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int IconSizes[] = {TAVRIN_ICON_SIZES};

const QColor Navy(11, 37, 69);
const QColor Ocean(19, 64, 116);
const QColor Teal(27, 153, 139);
const QColor Signal(230, 57, 70);
const QColor Paper(241, 250, 238);

bool WriteJpeg(const QImage &source, const QString &path, int quality) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto *row = const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(reinterpret_cast<const char *>(buffer), static_cast<qint64>(size)) ==
                        static_cast<qint64>(size);
    std::free(buffer);
    return ok;
}

// A recording board seen from above: the board, a chip, an SD slot and a lit record lamp.
void DrawBoard(QPainter &p, QRectF r) {
    p.setPen(QPen(Paper, r.width() * 0.02));
    p.setBrush(QColor(20, 90, 80));
    p.drawRoundedRect(r, r.width() * 0.08, r.width() * 0.08);
    const QRectF chip(r.x() + r.width() * 0.3, r.y() + r.height() * 0.3, r.width() * 0.4,
                      r.height() * 0.4);
    p.setPen(QPen(Paper, r.width() * 0.015));
    for (int i = 0; i < 5; ++i) {
        const double t = chip.left() + chip.width() * (0.1 + 0.2 * i);
        p.drawLine(QPointF(t, chip.top() - r.height() * 0.08), QPointF(t, chip.top()));
        p.drawLine(QPointF(t, chip.bottom()), QPointF(t, chip.bottom() + r.height() * 0.08));
        const double u = chip.top() + chip.height() * (0.1 + 0.2 * i);
        p.drawLine(QPointF(chip.left() - r.width() * 0.08, u), QPointF(chip.left(), u));
        p.drawLine(QPointF(chip.right(), u), QPointF(chip.right() + r.width() * 0.08, u));
    }
    p.setBrush(QColor(30, 30, 36));
    p.drawRect(chip);
    p.setBrush(QColor(200, 200, 210));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(r.x() + r.width() * 0.06, r.y() + r.height() * 0.76, r.width() * 0.22,
                      r.height() * 0.14));
    QRadialGradient glow(QPointF(r.right() - r.width() * 0.16, r.top() + r.height() * 0.16),
                         r.width() * 0.1);
    glow.setColorAt(0, QColor(255, 160, 160));
    glow.setColorAt(0.6, Signal);
    glow.setColorAt(1, QColor(Signal.red(), Signal.green(), Signal.blue(), 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.16, r.top() + r.height() * 0.16),
                  r.width() * 0.1, r.width() * 0.1);
}

QImage Banner() {
    QImage image(1311, 354, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, image.width(), image.height());
    sky.setColorAt(0, Navy);
    sky.setColorAt(0.55, Ocean);
    sky.setColorAt(1, Teal);
    p.fillRect(image.rect(), sky);

    // Faint circuit traces across the whole banner.
    p.setPen(QPen(QColor(255, 255, 255, 28), 3));
    for (int i = 0; i < 14; ++i) {
        const int y = 20 + i * 24;
        const int x = 330 + (i * 97) % 500;
        p.drawLine(x, y, x + 180, y);
        p.drawLine(x + 180, y, x + 210, y + 24);
        p.drawLine(x + 210, y + 24, x + 420, y + 24);
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawEllipse(QPointF(x + 420, y + 24), 5, 5);
    }

    DrawBoard(p, QRectF(48, 47, 260, 260));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(86);
    p.setFont(title);
    p.setPen(Paper);
    p.drawText(QRectF(350, 60, 940, 140), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tavrin Board Tools"));

    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(38);
    p.setFont(subtitle);
    p.setPen(QColor(168, 218, 220));
    p.drawText(QRectF(354, 200, 940, 70), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Service tools for the Tavrin recording board"));

    p.setPen(Qt::NoPen);
    p.setBrush(Signal);
    p.drawRect(354, 290, 300, 8);
    return image;
}

QImage Icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QRectF tile(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0, Teal);
    fill.setColorAt(1, Navy);
    p.setPen(size >= 32 ? QPen(QColor(255, 255, 255, 90), s / 48.0) : Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(tile, s * 0.2, s * 0.2);

    // A bold "T" built from two bars, so that it stays crisp without any font at 16 px.
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(s * 0.2, s * 0.22, s * 0.6, s * 0.16), s * 0.03, s * 0.03);
    p.drawRoundedRect(QRectF(s * 0.41, s * 0.22, s * 0.18, s * 0.58), s * 0.03, s * 0.03);

    // The record lamp.
    p.setBrush(Signal);
    p.drawEllipse(QPointF(s * 0.75, s * 0.72), s * 0.11, s * 0.11);
    return image;
}

bool WriteIco(const std::vector<QByteArray> &pngs, const std::vector<int> &sizes,
              const QString &path) {
    QByteArray out;
    auto u16 = [&out](int v) {
        out.append(static_cast<char>(v & 0xff));
        out.append(static_cast<char>((v >> 8) & 0xff));
    };
    auto u32 = [&](qint64 v) {
        u16(static_cast<int>(v & 0xffff));
        u16(static_cast<int>((v >> 16) & 0xffff));
    };
    u16(0);
    u16(1);
    u16(static_cast<int>(pngs.size()));
    qint64 offset = 6 + 16 * static_cast<qint64>(pngs.size());
    for (std::size_t i = 0; i < pngs.size(); ++i) {
        const int side = sizes[i] >= 256 ? 0 : sizes[i];
        out.append(static_cast<char>(side));
        out.append(static_cast<char>(side));
        out.append('\0');
        out.append('\0');
        u16(1);
        u16(32);
        u32(pngs[i].size());
        u32(offset);
        offset += pngs[i].size();
    }
    for (const QByteArray &png : pngs) {
        out.append(png);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!WriteJpeg(Banner(), folder + QStringLiteral("/banner.jpg"), 90)) {
        std::fprintf(stderr, "cannot write the banner\n");
        return 1;
    }
    std::vector<QByteArray> pngs;
    std::vector<int> sizes;
    for (const int size : IconSizes) {
        const QString path = folder + QStringLiteral("/icon-%1.png").arg(size);
        if (!Icon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return 1;
        }
        pngs.push_back(file.readAll());
        sizes.push_back(size);
    }
    if (!WriteIco(pngs, sizes, folder + QStringLiteral("/tavrin.ico"))) {
        std::fprintf(stderr, "cannot write the icon file\n");
        return 1;
    }
    return 0;
}
