// Draws every picture the program ships: the board, the twelve pieces, the window icon, and the
// resource list that bundles them. Its output is committed, so the build never runs it.
//
//   image-maker <assets-dir>                  draw everything, then check what was written
//   image-maker --check <assets-dir>          only check the pictures already there
//   image-maker --sheet <out.png> <assets-dir>  compose the start position at 1x and 2x
//
// All drawing is deterministic: the wood grain comes from a fixed integer hash, and the type
// comes from font files loaded by path, never from whatever the font configuration picks.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QSaveFile>
#include <QStringList>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace morvantide {
namespace {

const QString kPieceFontFile = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
const QString kLabelFontFile =
    QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf");

constexpr QRgb kMarginGrey = qRgb(212, 208, 200);
constexpr QRgb kLightWood = qRgb(184, 124, 72);
constexpr QRgb kDarkWood = qRgb(78, 31, 21);
constexpr QRgb kLabelInk = qRgb(38, 28, 22);
// The program leaves out exactly this colour when it draws a piece over the board.
constexpr QRgb kKeyColour = qRgb(246, 25, 12);

// Board geometry in 1x pixels; the 2x pictures multiply every length by two.
constexpr int kBoardPicture = 385;
constexpr int kBoardOrigin = 32;
constexpr int kSquare = 40;
constexpr int kBoardEnd = kBoardOrigin + 8 * kSquare; // 352, one past the last board pixel
constexpr int kPiecePicture = 40;

// Height of the king's glyph and the baseline all pieces stand on.
constexpr double kPieceHeight = 33.5;
constexpr double kPieceBaseline = 37.0;

constexpr std::array kIconSizes = {16, 24, 32, 48, 64, 128, 256};

struct PieceKind {
    const char* name;
    char16_t outlineGlyph; // the "white" chess symbol: lines with holes
    char16_t solidGlyph;   // the "black" chess symbol: filled with cut-out details
    double height;         // relative to the king; the font draws every piece equally tall
};

constexpr std::array kKinds = {
    PieceKind{"rook", 0x2656, 0x265C, 0.88},   PieceKind{"knight", 0x2658, 0x265E, 0.94},
    PieceKind{"bishop", 0x2657, 0x265D, 0.96}, PieceKind{"queen", 0x2655, 0x265B, 0.98},
    PieceKind{"king", 0x2654, 0x265A, 1.0},    PieceKind{"pawn", 0x2659, 0x265F, 0.80},
};

enum class Side { Black, White };
constexpr std::array kSides = {Side::Black, Side::White};

const char* sideName(Side side) {
    return side == Side::Black ? "black" : "white";
}

std::runtime_error failure(const QString& text) {
    return std::runtime_error(text.toStdString());
}

QString scaledName(const QString& stem, int scale) {
    return scale == 1 ? stem + QStringLiteral(".png") : stem + QStringLiteral("@2x.png");
}

QString pieceStem(Side side, const PieceKind& kind) {
    return QStringLiteral("images/%1-%2")
        .arg(QString::fromLatin1(sideName(side)), QString::fromLatin1(kind.name));
}

QString iconFile(int size) {
    return QStringLiteral("icons/morvantide-%1.png").arg(size);
}

QRawFont loadFont(const QString& file) {
    // A large size keeps the outlines exact; every use scales the path down itself.
    QRawFont font(file, 1000.0, QFont::PreferNoHinting);
    if (!font.isValid()) {
        throw failure(
            QStringLiteral("cannot load the font %1 (Debian package fonts-dejavu-core)").arg(file));
    }
    return font;
}

QPainterPath glyphPath(const QRawFont& font, char16_t character) {
    const QList<quint32> glyphs = font.glyphIndexesForString(QString(QChar(character)));
    if (glyphs.size() != 1 || glyphs.front() == 0) {
        throw failure(QStringLiteral("the font %1 has no glyph for U+%2")
                          .arg(font.familyName())
                          .arg(int(character), 4, 16, QLatin1Char('0')));
    }
    return font.pathForGlyph(glyphs.front());
}

// ---------------------------------------------------------------------------------------------
// Wood texture

// Integer hash to [0, 1). The standard library's distributions differ between implementations,
// and the committed pictures must come out the same on every machine.
double hashUnit(std::int64_t a, std::int64_t b, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(a) * 0x8da6b343u ^
                      static_cast<std::uint32_t>(b) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h / 4294967296.0;
}

double valueNoise(double x, double y, std::uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const auto ix = static_cast<std::int64_t>(fx);
    const auto iy = static_cast<std::int64_t>(fy);
    const auto smooth = [](double t) { return t * t * (3.0 - 2.0 * t); };
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double top = std::lerp(hashUnit(ix, iy, seed), hashUnit(ix + 1, iy, seed), tx);
    const double bottom = std::lerp(hashUnit(ix, iy + 1, seed), hashUnit(ix + 1, iy + 1, seed), tx);
    return std::lerp(top, bottom, ty);
}

// Sum of octaves, in [0, 1).
double fractalNoise(double x, double y, std::uint32_t seed, int octaves) {
    double sum = 0.0;
    double weight = 0.5;
    double total = 0.0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * valueNoise(x, y, seed + 101u * static_cast<std::uint32_t>(octave));
        total += weight;
        x *= 2.0;
        y *= 2.0;
        weight *= 0.5;
    }
    return sum / total;
}

struct WoodPiece {
    bool light;
    std::uint32_t seed;
    double ringPeriod; // distance between growth lines, across the grain
    double ringPhase;
    double wavePhase;
    double tint; // each square is cut from its own board, a shade lighter or darker
};

WoodPiece woodForSquare(int file, int row) {
    const auto seed = static_cast<std::uint32_t>(7919 * (row * 8 + file) + 1237);
    return WoodPiece{
        (file + row) % 2 == 0,
        seed,
        4.0 + 4.0 * hashUnit(file, row, 11u),
        2.0 * std::numbers::pi * hashUnit(file, row, 12u),
        2.0 * std::numbers::pi * hashUnit(file, row, 13u),
        0.06 * (hashUnit(file, row, 14u) - 0.5),
    };
}

// Brightness factor of one point of a square, around 1. The grain runs down the files: long
// streaks along y and growth lines that wander a little across x.
double woodShade(const WoodPiece& wood, double across, double along) {
    const double wander = 3.0 * (fractalNoise(across * 0.04, along * 0.012, wood.seed, 3) - 0.5) +
                          0.7 * std::sin(along * 0.05 + wood.wavePhase);
    const double position = across + wander;
    const double ring = std::pow(
        0.5 + 0.5 * std::sin(position * 2.0 * std::numbers::pi / wood.ringPeriod + wood.ringPhase),
        2.5);
    const double streak = fractalNoise(position * 1.1, along * 0.012, wood.seed + 7u, 4);
    const double pore = valueNoise(across * 1.5, along * 0.25, wood.seed + 13u);
    const double cloud = valueNoise(across * 0.03, along * 0.015, wood.seed + 17u);
    return 1.0 - 0.10 * ring + 0.16 * (streak - 0.5) + 0.04 * (pore - 0.5) + 0.08 * (cloud - 0.5) +
           wood.tint;
}

QRgb shaded(QRgb base, double factor) {
    const auto channel = [factor](int value) {
        return std::clamp(static_cast<int>(std::lround(value * factor)), 0, 255);
    };
    return qRgb(channel(qRed(base)), channel(qGreen(base)), channel(qBlue(base)));
}

QRgb mixed(QRgb from, QRgb to, double amount) {
    const auto channel = [amount](int a, int b) {
        return static_cast<int>(std::lround(std::lerp(double(a), double(b), amount)));
    };
    return qRgb(channel(qRed(from), qRed(to)), channel(qGreen(from), qGreen(to)),
                channel(qBlue(from), qBlue(to)));
}

// Colour of one picture pixel of the board area. Every scale samples the same 4 x 4 grid per
// 1x pixel, so the 2x board is the same drawing at a finer resolution, not a blow-up.
QRgb boardPixel(int x, int y, int scale) {
    constexpr int kSamplesPerUnit = 4;
    const int samples = kSamplesPerUnit / scale;
    const double unit = 1.0 / scale;
    const double bx = x * unit;
    const double by = y * unit;
    const int file = std::clamp(static_cast<int>((bx - kBoardOrigin) / kSquare), 0, 7);
    const int row = std::clamp(static_cast<int>((by - kBoardOrigin) / kSquare), 0, 7);
    const WoodPiece wood = woodForSquare(file, row);
    const double left = kBoardOrigin + file * kSquare;
    const double top = kBoardOrigin + row * kSquare;

    double shade = 0.0;
    for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
            const double px = bx + (sx + 0.5) / kSamplesPerUnit;
            const double py = by + (sy + 0.5) / kSamplesPerUnit;
            shade += woodShade(wood, px - left, py - top);
        }
    }
    QRgb colour = shaded(wood.light ? kLightWood : kDarkWood, shade / (samples * samples));

    // The outermost line of the board area, one 1x pixel wide, is a lighter edge.
    const bool edge = bx < kBoardOrigin + 1 || by < kBoardOrigin + 1 || bx >= kBoardEnd - 1 ||
                      by >= kBoardEnd - 1;
    if (edge) {
        colour = mixed(colour, qRgb(255, 238, 210), 0.35);
    }
    return colour;
}

// Paths of the margin labels, each with its ink centred on the origin. Letters share one
// baseline and digits another, so "g" hangs below "a" as in running text.
std::vector<QPainterPath> centredLabels(const QRawFont& font, const QString& characters,
                                        double height) {
    std::vector<QPainterPath> paths;
    QRectF common;
    for (QChar character : characters) {
        paths.push_back(glyphPath(font, character.unicode()));
        common = common.united(paths.back().boundingRect());
    }
    const double factor = height / common.height();
    for (QPainterPath& path : paths) {
        const double centreX = path.boundingRect().center().x();
        QTransform transform;
        transform.scale(factor, factor);
        transform.translate(-centreX, -common.center().y());
        path = transform.map(path);
    }
    return paths;
}

// Which way round the margin names the files and ranks. The squares are the same either way:
// the flipped board shows a8 at the bottom right, so only the letters and digits change places.
enum class Margin { Unflipped, Flipped };
constexpr std::array kMargins = {Margin::Unflipped, Margin::Flipped};

QString boardStem(Margin margin) {
    return margin == Margin::Unflipped ? QStringLiteral("images/board")
                                       : QStringLiteral("images/board-flipped");
}

// The labels in the order they stand, left to right and top to bottom.
QString fileLetters(Margin margin) {
    return margin == Margin::Unflipped ? QStringLiteral("abcdefgh") : QStringLiteral("hgfedcba");
}
QString rankDigits(Margin margin) {
    return margin == Margin::Unflipped ? QStringLiteral("87654321") : QStringLiteral("12345678");
}

QImage drawBoard(int scale, const QRawFont& labelFont, Margin margin) {
    const int size = kBoardPicture * scale;
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(kMarginGrey);
    for (int y = kBoardOrigin * scale; y < kBoardEnd * scale; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = kBoardOrigin * scale; x < kBoardEnd * scale; ++x) {
            line[x] = boardPixel(x, y, scale);
        }
    }

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kLabelInk));
    // The two margins are 32 and 33 pixels wide; labels sit in their middles.
    const double nearMiddle = kBoardOrigin / 2.0;
    const double farMiddle = (kBoardEnd + kBoardPicture) / 2.0;
    const auto place = [&](const QPainterPath& path, double x, double y) {
        // Whole-pixel placement keeps the strokes of the small type sharp.
        painter.save();
        painter.translate(std::round(x * scale), std::round(y * scale));
        painter.scale(scale, scale);
        painter.drawPath(path);
        painter.restore();
    };
    // Both orders share one common box, so every glyph has the same size and baseline in both.
    const auto letters = centredLabels(labelFont, fileLetters(margin), 15.0);
    const auto digits = centredLabels(labelFont, rankDigits(margin), 11.0);
    for (int i = 0; i < 8; ++i) {
        const double centre = kBoardOrigin + kSquare * (i + 0.5);
        place(letters[i], centre, nearMiddle);
        place(letters[i], centre, farMiddle);
        place(digits[i], nearMiddle, centre);
        place(digits[i], farMiddle, centre);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

// ---------------------------------------------------------------------------------------------
// Pieces

// Everything the glyph encloses, holes included.
QPainterPath silhouette(const QPainterPath& glyph) {
    QPainterPath whole;
    for (const QPolygonF& outline : glyph.toSubpathPolygons()) {
        QPainterPath part;
        part.addPolygon(outline);
        part.closeSubpath();
        whole = whole.united(part);
    }
    return whole.simplified();
}

struct PieceLook {
    QColor halo;      // ring around the silhouette, also the colour of the keyed edge
    QColor bodyLight; // body shading, left to right
    QColor bodyDark;
    QColor lines; // inner lines and the glyph's own contour
};

PieceLook lookFor(Side side) {
    if (side == Side::White) {
        return {QColor(0, 0, 0), QColor(255, 255, 255), QColor(178, 178, 178), QColor(0, 0, 0)};
    }
    return {QColor(255, 255, 255), QColor(96, 96, 96), QColor(8, 8, 8), QColor(150, 150, 150)};
}

// Antialiased drawing on transparent, then a hard alpha threshold onto the key colour: the
// program keys out only the exact colour, so any pixel blended with it would show a red fringe.
QImage keyedOntoBackground(const QImage& drawing) {
    const QImage straight = drawing.convertToFormat(QImage::Format_ARGB32);
    QImage keyed(straight.size(), QImage::Format_RGB888);
    for (int y = 0; y < straight.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        for (int x = 0; x < straight.width(); ++x) {
            QRgb pixel = qAlpha(source[x]) >= 128 ? (source[x] | 0xff000000u) : kKeyColour;
            if (qAlpha(source[x]) >= 128 &&
                qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)) == kKeyColour) {
                pixel = qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel) + 1);
            }
            keyed.setPixel(x, y, pixel);
        }
    }
    return keyed;
}

struct PieceFont {
    QRawFont font;
    double factor; // glyph units to 1x pixels
};

PieceFont makePieceFont() {
    QRawFont font = loadFont(kPieceFontFile);
    double tallest = 0.0;
    for (const PieceKind& kind : kKinds) {
        tallest = std::max({tallest, glyphPath(font, kind.outlineGlyph).boundingRect().height(),
                            glyphPath(font, kind.solidGlyph).boundingRect().height()});
    }
    return {font, kPieceHeight / tallest};
}

QImage drawPiece(Side side, const PieceKind& kind, int scale, const PieceFont& pieceFont) {
    const char16_t character = side == Side::White ? kind.outlineGlyph : kind.solidGlyph;
    const QPainterPath raw = glyphPath(pieceFont.font, character);

    // One baseline for all pieces; each is centred across.
    QTransform transform;
    transform.translate(kPiecePicture / 2.0 * scale, kPieceBaseline * scale);
    const double factor = pieceFont.factor * kind.height * scale;
    transform.scale(factor, factor);
    transform.translate(-raw.boundingRect().center().x(), 0.0);
    const QPainterPath glyph = transform.map(raw);
    const QPainterPath body = silhouette(glyph);
    const QRectF bounds = body.boundingRect();
    const PieceLook look = lookFor(side);

    QImage drawing(kPiecePicture * scale, kPiecePicture * scale,
                   QImage::Format_ARGB32_Premultiplied);
    drawing.fill(Qt::transparent);
    QPainter painter(&drawing);
    painter.setRenderHint(QPainter::Antialiasing);
    const double halo = side == Side::White ? 1.0 : 2.0;
    painter.setPen(QPen(look.halo, halo * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(look.halo);
    painter.drawPath(body);

    painter.setPen(Qt::NoPen);
    if (side == Side::White) {
        QLinearGradient shading(bounds.left(), 0.0, bounds.right(), 0.0);
        shading.setColorAt(0.3, look.bodyLight);
        shading.setColorAt(1.0, look.bodyDark);
        painter.fillPath(body, shading);
        painter.fillPath(glyph, look.lines);
    } else {
        // The solid glyph cuts its details out; the silhouette beneath shows them in grey.
        painter.fillPath(body, look.lines);
        QLinearGradient shading(bounds.left(), 0.0, bounds.right(), 0.0);
        shading.setColorAt(0.0, look.bodyLight);
        shading.setColorAt(0.6, look.bodyDark);
        painter.fillPath(glyph, shading);
    }
    painter.end();
    return keyedOntoBackground(drawing);
}

// ---------------------------------------------------------------------------------------------
// Icon

// A yellow pinwheel of eight blades. Each blade runs out along one ray to the full radius and
// falls back to a fold on the next ray, like the vanes of a paper windmill.
QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const double line = std::max(1.0, size / 32.0);
    const double radius = size / 2.0 - line / 2.0;
    const double foldRadius = radius * 0.6;
    const QPointF centre(size / 2.0, size / 2.0);
    const QColor outline(140, 16, 8);
    const QColor yellow(255, 224, 48);
    const QColor shadow(240, 172, 0);
    const auto ray = [&](int blade, double length) {
        const double angle = blade * std::numbers::pi / 4.0;
        return centre + QPointF(std::sin(angle), -std::cos(angle)) * length;
    };

    QPolygonF rim;
    painter.setPen(Qt::NoPen);
    for (int blade = 0; blade < 8; ++blade) {
        const QPointF tip = ray(blade, radius);
        const QPointF fold = ray(blade + 1, foldRadius);
        const QPointF crease = (tip + fold) / 2.0;
        // The half along the leading edge catches the light, the other half is shaded.
        painter.setBrush(yellow);
        painter.drawPolygon(QPolygonF({centre, tip, crease}));
        painter.setBrush(shadow);
        painter.drawPolygon(QPolygonF({centre, crease, fold}));
        rim << tip << fold;
    }
    painter.setPen(QPen(outline, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(rim);
    // Small icons keep only the rim; the seams between the blades would blot them.
    if (size >= 32) {
        for (int blade = 0; blade < 8; ++blade) {
            painter.drawLine(centre, ray(blade, foldRadius));
        }
    }
    const double half = std::max(1.5, size * 0.08);
    const QRectF square(centre.x() - half, centre.y() - half, 2 * half, 2 * half);
    if (size >= 32) {
        painter.setBrush(yellow);
        painter.drawRect(square);
    } else {
        painter.fillRect(square, outline);
    }
    painter.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Output

void savePng(const QImage& image, const QString& root, const QString& relative) {
    QSaveFile file(root + QLatin1Char('/') + relative);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        throw failure(
            QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
    }
}

void drawAll(const QString& root) {
    for (const char* folder : {"images", "icons"}) {
        if (!QDir(root).mkpath(QString::fromLatin1(folder))) {
            throw failure(
                QStringLiteral("cannot create %1/%2").arg(root, QString::fromLatin1(folder)));
        }
    }
    const QRawFont labelFont = loadFont(kLabelFontFile);
    const PieceFont pieceFont = makePieceFont();
    for (int scale : {1, 2}) {
        for (Margin margin : kMargins) {
            savePng(drawBoard(scale, labelFont, margin), root,
                    scaledName(boardStem(margin), scale));
        }
        for (Side side : kSides) {
            for (const PieceKind& kind : kKinds) {
                savePng(drawPiece(side, kind, scale, pieceFont), root,
                        scaledName(pieceStem(side, kind), scale));
            }
        }
    }
    for (int size : kIconSizes) {
        savePng(drawIcon(size), root, iconFile(size));
    }
}

// ---------------------------------------------------------------------------------------------
// Checks of the written files

QImage loadPicture(const QString& root, const QString& relative, int size, bool alpha) {
    const QString path = root + QLatin1Char('/') + relative;
    QImage image(path);
    if (image.isNull()) {
        throw failure(QStringLiteral("%1 is missing or not a picture").arg(path));
    }
    if (image.width() != size || image.height() != size) {
        throw failure(QStringLiteral("%1 is %2 x %3, not %4 x %4")
                          .arg(path)
                          .arg(image.width())
                          .arg(image.height())
                          .arg(size));
    }
    if (image.hasAlphaChannel() != alpha) {
        throw failure(QStringLiteral("%1 %2 an alpha channel")
                          .arg(path, alpha ? QStringLiteral("lacks") : QStringLiteral("has")));
    }
    // Qt reads "@2x" in a file name as a device pixel ratio; here every pixel counts as one.
    image.setDevicePixelRatio(1.0);
    return image.convertToFormat(QImage::Format_ARGB32);
}

QRgb averageColour(const QImage& image, const QRect& area) {
    double red = 0, green = 0, blue = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
        }
    }
    const double count = double(area.width()) * area.height();
    return qRgb(int(red / count), int(green / count), int(blue / count));
}

bool near(QRgb colour, QRgb target, int tolerance) {
    return std::abs(qRed(colour) - qRed(target)) <= tolerance &&
           std::abs(qGreen(colour) - qGreen(target)) <= tolerance &&
           std::abs(qBlue(colour) - qBlue(target)) <= tolerance;
}

QString describe(QRgb colour) {
    return QStringLiteral("(%1, %2, %3)").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

void checkBoard(const QImage& board, const QString& name, int scale) {
    const auto fail = [&](const QString& what) {
        throw failure(QStringLiteral("%1: %2").arg(name, what));
    };
    const int s = scale;
    for (const QPoint corner : {QPoint(0, 0), QPoint(384 * s + s - 1, 384 * s + s - 1),
                                QPoint(31 * s, 31 * s), QPoint(352 * s, 352 * s)}) {
        if ((board.pixel(corner) & 0xffffffu) != (kMarginGrey & 0xffffffu)) {
            fail(QStringLiteral("margin pixel at %1, %2 is %3")
                     .arg(corner.x())
                     .arg(corner.y())
                     .arg(describe(board.pixel(corner))));
        }
    }
    for (int row = 0; row < 8; ++row) {
        for (int file = 0; file < 8; ++file) {
            // Inside the square, clear of the lighter edge line.
            const QRect inner((kBoardOrigin + file * kSquare + 2) * s,
                              (kBoardOrigin + row * kSquare + 2) * s, (kSquare - 4) * s,
                              (kSquare - 4) * s);
            const bool light = (file + row) % 2 == 0;
            const QRgb average = averageColour(board, inner);
            if (!near(average, light ? kLightWood : kDarkWood, 16)) {
                fail(QStringLiteral("square %1%2 averages %3, too far from %4")
                         .arg(QChar('a' + file))
                         .arg(8 - row)
                         .arg(describe(average), describe(light ? kLightWood : kDarkWood)));
            }
        }
    }
    const auto luminance = [](QRgb c) { return qGray(c); };
    const QRect edgeLine(kBoardOrigin * s, (kBoardOrigin + 4) * s, s, 8 * kSquare * s - 8 * s);
    const QRect nextLine((kBoardOrigin + 1) * s, (kBoardOrigin + 4) * s, s,
                         8 * kSquare * s - 8 * s);
    if (luminance(averageColour(board, edgeLine)) <= luminance(averageColour(board, nextLine))) {
        fail(QStringLiteral("the board's edge line is not lighter than the squares"));
    }
    // Every label box holds some dark ink.
    const auto inked = [&](double cx, double cy) {
        const QRect box(int((cx - 8) * s), int((cy - 8) * s), 16 * s, 16 * s);
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                if (qGray(board.pixel(x, y)) < 90) {
                    return true;
                }
            }
        }
        return false;
    };
    for (int i = 0; i < 8; ++i) {
        const double centre = kBoardOrigin + kSquare * (i + 0.5);
        if (!inked(centre, 16) || !inked(centre, 368.5) || !inked(16, centre) ||
            !inked(368.5, centre)) {
            fail(QStringLiteral("label %1 missing").arg(i + 1));
        }
    }
}

// The box around the label at place `i` (0 to 7, left to right or top to bottom) of one of the
// four margins: 0 above the board, 1 below, 2 left, 3 right.
QRect labelBox(int side, int i, int scale) {
    const double along = kBoardOrigin + kSquare * (i + 0.5);
    const double across = side % 2 == 0 ? kBoardOrigin / 2.0 : (kBoardEnd + kBoardPicture) / 2.0;
    const QPointF centre = side < 2 ? QPointF(along, across) : QPointF(across, along);
    constexpr int kHalf = 10;
    return QRect(int((centre.x() - kHalf) * scale), int((centre.y() - kHalf) * scale),
                 2 * kHalf * scale, 2 * kHalf * scale);
}

// The flipped board is the board with the labels of each margin in reverse order: outside the
// label boxes every pixel is the same, and the label at place i is, pixel for pixel, the one the
// board has at place 7 - i.
void checkFlippedBoard(const QImage& board, const QImage& flipped, const QString& name, int scale) {
    QImage outside = board;
    QImage flippedOutside = flipped;
    for (int side = 0; side < 4; ++side) {
        for (int i = 0; i < 8; ++i) {
            const QRect box = labelBox(side, i, scale);
            if (flipped.copy(box) != board.copy(labelBox(side, 7 - i, scale))) {
                throw failure(
                    QStringLiteral("%1: label %2 of margin %3 is not the board's label %4")
                        .arg(name)
                        .arg(i + 1)
                        .arg(side)
                        .arg(8 - i));
            }
            for (QImage* image : {&outside, &flippedOutside}) {
                QPainter painter(image);
                painter.fillRect(box, Qt::black);
            }
        }
    }
    if (outside != flippedOutside) {
        throw failure(QStringLiteral("%1 differs from the board outside the labels").arg(name));
    }
}

// Returns the lowest row that holds a piece pixel.
int checkPiece(const QImage& piece, const QString& name) {
    const auto fail = [&](const QString& what) {
        throw failure(QStringLiteral("%1: %2").arg(name, what));
    };
    const int size = piece.width();
    if ((piece.pixel(0, size - 1) & 0xffffffu) != (kKeyColour & 0xffffffu)) {
        fail(QStringLiteral("the bottom-left pixel is not the key colour"));
    }
    int lowest = -1;
    int count = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = piece.pixel(x, y);
            if ((pixel & 0xffffffu) == (kKeyColour & 0xffffffu)) {
                continue;
            }
            ++count;
            lowest = y;
            if (x == 0 || y == 0 || x == size - 1 || y == size - 1) {
                fail(QStringLiteral("the piece touches the picture's border at %1, %2")
                         .arg(x)
                         .arg(y));
            }
            // Pieces are shades of grey; colour here is the key colour blended into an edge.
            if (std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) -
                    std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}) >
                2) {
                fail(QStringLiteral("pixel %1, %2 is %3, not grey")
                         .arg(x)
                         .arg(y)
                         .arg(describe(pixel)));
            }
        }
    }
    if (count < size * size / 8) {
        fail(QStringLiteral("only %1 piece pixels").arg(count));
    }
    return lowest;
}

void checkIcon(const QImage& icon, const QString& name) {
    const int size = icon.width();
    if (qAlpha(icon.pixel(0, 0)) != 0 || qAlpha(icon.pixel(size - 1, size - 1)) != 0) {
        throw failure(QStringLiteral("%1: the corners are not transparent").arg(name));
    }
    if (qAlpha(icon.pixel(size / 2, size / 2)) != 255) {
        throw failure(QStringLiteral("%1: the centre is not opaque").arg(name));
    }
}

void checkAll(const QString& root) {
    for (int scale : {1, 2}) {
        std::vector<QImage> boards;
        for (Margin margin : kMargins) {
            const QString name = scaledName(boardStem(margin), scale);
            boards.push_back(loadPicture(root, name, kBoardPicture * scale, false));
            checkBoard(boards.back(), name, scale);
        }
        checkFlippedBoard(boards[0], boards[1], scaledName(boardStem(Margin::Flipped), scale),
                          scale);
        for (Side side : kSides) {
            int baseline = -1;
            for (const PieceKind& kind : kKinds) {
                const QString piece = scaledName(pieceStem(side, kind), scale);
                const int lowest =
                    checkPiece(loadPicture(root, piece, kPiecePicture * scale, false), piece);
                if (baseline >= 0 && lowest != baseline) {
                    throw failure(QStringLiteral("%1 stands on row %2, the others on row %3")
                                      .arg(piece)
                                      .arg(lowest)
                                      .arg(baseline));
                }
                baseline = lowest;
            }
        }
    }
    for (int size : kIconSizes) {
        checkIcon(loadPicture(root, iconFile(size), size, true), iconFile(size));
    }
}

// ---------------------------------------------------------------------------------------------
// Contact sheet: the start position as the program shows it, key colour left out.

QImage startPosition(const QString& root, int scale) {
    const QString board = scaledName(QStringLiteral("images/board"), scale);
    QImage sheet = loadPicture(root, board, kBoardPicture * scale, false);
    const std::array<const char*, 8> backRank = {"rook", "knight", "bishop", "queen",
                                                 "king", "bishop", "knight", "rook"};
    const auto put = [&](Side side, const char* kind, int file, int row) {
        const PieceKind* found = nullptr;
        for (const PieceKind& candidate : kKinds) {
            if (std::string(candidate.name) == kind) {
                found = &candidate;
            }
        }
        const QString name = scaledName(pieceStem(side, *found), scale);
        const QImage piece = loadPicture(root, name, kPiecePicture * scale, false);
        const QRgb key = piece.pixel(0, piece.height() - 1);
        const int left = (kBoardOrigin + file * kSquare) * scale;
        const int top = (kBoardOrigin + row * kSquare) * scale;
        for (int y = 0; y < piece.height(); ++y) {
            for (int x = 0; x < piece.width(); ++x) {
                if (piece.pixel(x, y) != key) {
                    sheet.setPixel(left + x, top + y, piece.pixel(x, y));
                }
            }
        }
    };
    for (int file = 0; file < 8; ++file) {
        put(Side::Black, backRank[file], file, 0);
        put(Side::Black, "pawn", file, 1);
        put(Side::White, "pawn", file, 6);
        put(Side::White, backRank[file], file, 7);
    }
    return sheet;
}

void drawSheet(const QString& root, const QString& output) {
    const QImage small = startPosition(root, 1);
    const QImage large = startPosition(root, 2);
    QImage sheet(small.width() + large.width() + 30, large.height() + 20, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawImage(10, 10, small);
    painter.drawImage(small.width() + 20, 10, large);
    int x = 10;
    for (int size : kIconSizes) {
        const QImage icon = loadPicture(root, iconFile(size), size, true);
        if (x + size > small.width() + 10) {
            break;
        }
        painter.drawImage(x, small.height() + 20, icon);
        x += size + 10;
    }
    painter.end();
    if (!sheet.save(output, "PNG")) {
        throw failure(QStringLiteral("cannot write %1").arg(output));
    }
}

} // namespace
} // namespace morvantide

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments().mid(1);
    try {
        if (arguments.size() == 1 && !arguments[0].startsWith(QLatin1Char('-'))) {
            morvantide::drawAll(arguments[0]);
            morvantide::checkAll(arguments[0]);
        } else if (arguments.size() == 2 && arguments[0] == QStringLiteral("--check")) {
            morvantide::checkAll(arguments[1]);
        } else if (arguments.size() == 3 && arguments[0] == QStringLiteral("--sheet")) {
            morvantide::drawSheet(arguments[2], arguments[1]);
        } else {
            std::fprintf(stderr, "usage: image-maker <assets-dir>\n"
                                 "       image-maker --check <assets-dir>\n"
                                 "       image-maker --sheet <out.png> <assets-dir>\n");
            return 2;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "image-maker: %s\n", error.what());
        return 1;
    }
    return 0;
}
