#include "app/qt/about_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "app/form/layout.h"
#include "app/qt/command_button.h"
#include "app/qt/fonts.h"
#include "app/qt/place.h"
#include "app/qt/program_icon.h"
#include "app/qt/qt_text.h"

namespace wordpour::qt {

AboutBox::AboutBox() {
    setWindowTitle(toQt(form::kAboutBox.title));
    setWindowIcon(programIcon());
    setFont(defaultFont());
    // An ordinary, resizable frame; the controls keep their places.
    resize(px(form::kAboutBox.width), px(form::kAboutBox.height));

    auto* frame = place(new QGroupBox(toQt(form::kAboutFrame.text), this), form::kAboutFrame);
    auto* picture = place(new QLabel(frame), form::kAboutPicture);
    picture->setPixmap(QPixmap(QStringLiteral(":/wordpour/about.bmp")));  // natural size
    for (const form::ControlDef& label : form::kAboutLabels)
        place(new QLabel(toQt(label.text), frame), label);

    auto* ok = place(new CommandButton(toQt(form::kAboutOk.text), this), form::kAboutOk);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
}

}  // namespace wordpour::qt
