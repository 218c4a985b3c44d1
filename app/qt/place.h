// Puts a control where its table says: its name, its twips, its font.
#pragma once

#include <QWidget>

#include "app/form/layout.h"
#include "app/qt/fonts.h"
#include "app/qt/qt_text.h"

namespace wordpour::app {

template <typename Control>
Control* place(Control* control, const form::ControlSpec& spec) {
    control->setObjectName(
        QLatin1String(spec.name.data(), static_cast<qsizetype>(spec.name.size())));
    control->setGeometry(twipsRect(spec.rect));
    control->setFont(gothicFont(spec.font));
    return control;
}

}  // namespace wordpour::app
