#include "Style.h"

#include "Platform.h"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace shell::style {

QFont Font(int pixelSize) {
    static const bool haveTahoma = [] {
        platform::AddPrivateFonts();
        return QFontDatabase::families().contains(QStringLiteral("Tahoma"));
    }();
    QFont font;
    if (haveTahoma) {
        font.setFamily(QStringLiteral("Tahoma"));
    } else {
        font.setFamily(platform::SansFamily());
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPixelSize(pixelSize);
    return font;
}

void FillBackground(QWidget &widget, const QColor &colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void SetTextColour(QWidget &widget, const QColor &colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget.setPalette(palette);
}

} // namespace shell::style
