// Puts a control where its table says: its name, its twips, its font, and
// the name a screen reader calls it by.
#pragma once

#include <QWidget>

#include "app/form/layout.h"
#include "app/qt/fonts.h"
#include "app/qt/qt_text.h"

namespace wordpour::qt {

template <typename Control>
Control* place(Control* control, const form::ControlDef& def) {
    control->setObjectName(nameOf(def.name));
    control->setGeometry(twipsRect(def.rect));
    control->setFont(gothicFont(def.font));
    if (!def.spokenName.empty()) control->setAccessibleName(toQt(def.spokenName));
    return control;
}

}  // namespace wordpour::qt
