// Catalogue texts with their placeholders filled, for the maintenance forms.
#pragma once

#include "app/GlobalFunc.h"
#include "ui/Texts.h"

#include <QStringList>

namespace ecr::maintenance {

inline QString TextWith(int id, const QStringList& args) {
    std::vector<std::string> a;
    for (const QString& s : args) a.push_back(s.toStdString());
    return QString::fromStdString(SubstituteArgs(ui::Text(id).toStdString(), a));
}

} // namespace ecr::maintenance
