#pragma once

#include <QIdentityProxyModel>

namespace morvantide {

// The file dialogs' folder listing with its size, type and date columns in Russian, whatever
// locale the program was started in: "305 байт", "1,5 кБ", "Папка", "09.12.2026 13:51". A
// ".sav" file is a "Сохраненная игра".
class RussianFileColumns : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;

    static QString sizeText(qint64 bytes);
};

} // namespace morvantide
