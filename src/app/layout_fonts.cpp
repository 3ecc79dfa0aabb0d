#include "layout_fonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace morvantide {

namespace {

// The installed font families, each named once whatever its foundries. Looked up here rather
// than one by one with QFontDatabase::hasFamily(), which asks fontconfig to resolve each name.
const QStringList& InstalledFamilies() {
    static const QStringList kFamilies = [] {
        QStringList names;
        for (QString family : QFontDatabase::families()) {
            // A family offered by several foundries is listed as "Family [foundry]".
            if (const qsizetype foundry = family.indexOf(QLatin1String(" [")); foundry >= 0)
                family.truncate(foundry);
            names.append(family);
        }
        return names;
    }();
    return kFamilies;
}

// The families a layout font is asked for, found once per family. Where the layout's family is
// not installed, its installed stand-ins are named directly, in their order, which spares Qt a
// search through all faces for the nearest match of a missing family. Without stand-ins the
// layout's family is named and Qt finds the nearest face itself.
const QStringList& FamiliesFor(const QString& family) {
    static QHash<QString, QStringList> known;
    auto found = known.constFind(family);
    if (found == known.constEnd()) {
        QStringList installed;
        for (const QString& face : QStringList{family} + QFont::substitutes(family))
            if (InstalledFamilies().contains(face, Qt::CaseInsensitive))
                installed.append(face);
        if (installed.isEmpty())
            installed.append(family);
        found = known.insert(family, installed);
    }
    return *found;
}

} // namespace

void SubstituteLayoutFonts() {
    QFont::insertSubstitutions(QStringLiteral("Courier"),
                               {QStringLiteral("Nimbus Mono PS"), QStringLiteral("Courier New"),
                                QStringLiteral("Liberation Mono"),
                                QStringLiteral("DejaVu Sans Mono")});
    for (const QString& family : {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial")})
        QFont::insertSubstitutions(family,
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Bastarda"),
                               {QStringLiteral("Gamaliel"), QStringLiteral("Blankenburg"),
                                QStringLiteral("DejaVu Serif")});
}

QFont LayoutFont(const char* family, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(FamiliesFor(QString::fromLatin1(family)));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace morvantide
