#include "IntakeQr.h"

#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include <zbar.h>

// In C++ the C interface lives in this namespace.
using namespace zbar;

namespace {

struct TFoundCode
{
    int Top = 0;
    QString Text;
};

int symbolTop(const zbar_symbol_t *symbol)
{
    int top = INT_MAX;
    for (unsigned i = 0; i < zbar_symbol_get_loc_size(symbol); ++i)
        top = std::min(top, zbar_symbol_get_loc_y(symbol, i));
    return top;
}

} // namespace

QStringList ReadQrCodes(const QImage &picture)
{
    if (picture.isNull())
        return {};
    // ZBar takes rows of one byte per pixel with no padding between them.
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    const int width = gray.width();
    const int height = gray.height();
    std::vector<unsigned char> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(gray.constScanLine(y), width, pixels.begin() + ptrdiff_t(y) * width);

    const std::unique_ptr<zbar_image_scanner_t, decltype(&zbar_image_scanner_destroy)> scanner(
        zbar_image_scanner_create(), &zbar_image_scanner_destroy);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
    const std::unique_ptr<zbar_image_t, decltype(&zbar_image_destroy)> image(zbar_image_create(),
                                                                             &zbar_image_destroy);
    zbar_image_set_format(image.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(image.get(), unsigned(width), unsigned(height));
    zbar_image_set_data(image.get(), pixels.data(), pixels.size(), nullptr);
    if (zbar_scan_image(scanner.get(), image.get()) <= 0)
        return {};

    std::vector<TFoundCode> found;
    for (const zbar_symbol_t *symbol = zbar_image_first_symbol(image.get()); symbol;
         symbol = zbar_symbol_next(symbol))
        found.push_back({symbolTop(symbol), QString::fromUtf8(zbar_symbol_get_data(symbol),
                                                              qsizetype(zbar_symbol_get_data_length(symbol)))});
    std::stable_sort(found.begin(), found.end(),
                     [](const TFoundCode &a, const TFoundCode &b) { return a.Top < b.Top; });
    QStringList texts;
    for (const TFoundCode &code : found)
        texts << code.Text;
    return texts;
}

std::optional<TStampReference> ParseStampPayload(const QString &text)
{
    // The number never holds a colon and is printed without spaces at its ends.
    static const QRegularExpression payload(QRegularExpression::anchoredPattern(
        QStringLiteral(R"(DELOVODNIK:([0-9A-Fa-f]{8}):([1-9][0-9]{0,17}):([^:\s](?:[^:]*[^:\s])?))")));
    const QRegularExpressionMatch match = payload.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return TStampReference{match.captured(1).toUpper(), match.captured(2).toLongLong(), match.captured(3)};
}
