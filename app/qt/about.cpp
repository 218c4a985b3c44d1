#include "app/qt/about.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "app/qt/command_button.h"
#include "app/qt/fonts.h"
#include "app/qt/program_icon.h"
#include "app/qt/qt_text.h"

namespace wordpour::app {

Form3::Form3() {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowIcon(programIcon());
    setFont(defaultFont());
    // An ordinary, resizable frame; the controls keep their places.
    resize(px(4560), px(2805));
    createControls();
}

void Form3::createControls() {
    Frame1 = new QGroupBox(QStringLiteral("Word ! Pour ! version 1.0"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(120, 120, 4335, 2295));

    auto* Picture2 = createLabel("Picture2", QString(), 120, 600, 975, 975);
    Picture2->setPixmap(QPixmap(QStringLiteral(":/wordpour/about.bmp")));  // natural size

    createLabel("Label4", QStringLiteral("バージョン１．０"), 2760, 360, 1215, 255);
    QFont title = gothicFont(12, true);
    title.setUnderline(true);
    createLabel("Label3", QStringLiteral("ワードポア！"), 240, 240, 2415, 375)->setFont(title);
    createLabel("Label2", QStringLiteral("E-Mail Address : "), 1200, 1320, 1455, 255);
    createLabel("Label5", QStringLiteral("© 2026"), 1200, 720, 1335, 255);
    QFont marked = gothicFont(9, true);
    marked.setUnderline(true);
    createLabel("Label6", QStringLiteral("Wordpour Project"), 1680, 960, 1695, 255)
        ->setFont(marked);
    // No mailbox stands behind the program: the label says where help is.
    createLabel("Label1", QStringLiteral("質問は README.md へ"), 1680, 1560, 2535, 255)
        ->setFont(marked);
    createLabel("Label7", QStringLiteral("URL ："), 120, 1680, 735, 255);
    createLabel("Label8", QStringLiteral("同梱の README.md（使い方）"), 240, 1920, 3975, 255)
        ->setFont(marked);

    Command1 = new CommandButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(120, 2520, 4335, 255));
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
}

QLabel* Form3::createLabel(const char* name, const QString& text, int left, int top, int width,
                           int height) {
    auto* label = new QLabel(text, Frame1);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(twipsRect(left, top, width, height));
    return label;
}

void Form3::Command1_Click() {
    hide();
}

}  // namespace wordpour::app
